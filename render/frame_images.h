#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/scene.h"
#include "textures/slot_images.h"
#include "textures/texture_store.h"

namespace kelvane {

// An image to draw with and the revision of its pixels: the same revision,
// size and address mean the same pixels, so a texture already uploaded for
// them is used again. Revision 0 promises nothing: uploaded on every draw.
struct FrameImage {
    ShownImage image;
    std::uint64_t revision = 0;
};

// What each object of a frame is drawn with: images[0] is the chosen image
// (the "<FSH>" choice, "Blank" or a picture); imageOf[s] indexes `images`
// for object slot s.
struct SceneImages {
    std::vector<FrameImage> images{FrameImage{}};
    std::array<std::uint8_t, kSceneSlots> imageOf{};
    // Per object, the archive slot it found by its name, or -1 (chosen image).
    std::array<int, kSceneSlots> slotOf = filled(-1);
    int objects = 0;  // objects of the scene
    int matched = 0;  // of these, objects drawn with the image of their name

    static std::array<int, kSceneSlots> filled(int value) {
        std::array<int, kSceneSlots> a{};
        a.fill(value);
        return a;
    }
};

// Every object with the chosen image, as a plain frame draws.
SceneImages chosenImageOnly(const TextureStore& textures);

// Each object with the archive image named as the object is (ignoring case),
// decoded through `decoded`; an object without one, or in a generation whose
// objects have no names, with the chosen image. A picture has no names.
SceneImages imagesByName(const Scene& scene, const TextureStore& textures, SlotImages& decoded);

// How many objects imagesByName gives an image of their own, without
// decoding any.
int objectsWithOwnImage(const Scene& scene, const TextureStore& textures);

}  // namespace kelvane
