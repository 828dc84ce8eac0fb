#include "render/frame_images.h"

namespace kelvane {

SceneImages chosenImageOnly(const TextureStore& textures) {
    SceneImages images;
    images.images[0] = {shownImage(textures), textures.revision};
    return images;
}

SceneImages imagesByName(const Scene& scene, const TextureStore& textures, SlotImages& decoded) {
    SceneImages images = chosenImageOnly(textures);
    images.objects = slotsInUse(scene);
    if (!traits(textures.generation).objectNames) return images;
    for (int s = 0; s < images.objects; ++s) {
        if (!scene.names[s]) continue;
        const auto slot = slotNamed(textures, *scene.names[s]);
        const DecodedImage* image = slot ? decoded.get(textures, *slot) : nullptr;
        if (!image) continue;
        images.slotOf[s] = static_cast<int>(*slot);
        ++images.matched;
        // Objects that share a name share one image.
        std::size_t index = 1;
        while (index < images.images.size() && images.images[index].revision != image->revision) ++index;
        if (index == images.images.size())
            images.images.push_back({{image->width, image->height, image->rgba.data()}, image->revision});
        images.imageOf[s] = static_cast<std::uint8_t>(index);
    }
    return images;
}

int objectsWithOwnImage(const Scene& scene, const TextureStore& textures) {
    if (!traits(textures.generation).objectNames) return 0;
    int count = 0;
    for (int s = 0; s < slotsInUse(scene); ++s) {
        const auto slot = scene.names[s] ? slotNamed(textures, *scene.names[s]) : std::nullopt;
        if (slot && slotFault(textures, *slot) == SlotFault::None) ++count;
    }
    return count;
}

}  // namespace kelvane
