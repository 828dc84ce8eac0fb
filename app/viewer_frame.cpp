#include "app/viewer_frame.h"

#include <algorithm>
#include <cctype>

#include "app/window_title.h"
#include "common/latin1.h"
#include "render/scene_drawing.h"
#include "render/texture_view.h"
#include "render/uv_layout.h"

namespace kelvane {

namespace {

// The triangles of the visible objects drawn with the image the texture
// view shows: those with the chosen image, and those whose own image is it.
// Kept while the model, the visible objects, the images and the matches stay.
const std::vector<UvTriangle>& layoutOfShownImage(Viewer& viewer, const SceneImages& images) {
    UvLayoutCache& cache = viewer.uvLayout;
    const std::uint32_t shown = viewer.textures.currentSlot;
    if (cache.valid && cache.sceneRevision == viewer.scene.revision && cache.texturesRevision == viewer.textures.revision &&
        cache.shownSlot == shown && cache.visible == viewer.scene.visible && cache.slotOf == images.slotOf)
        return cache.triangles;
    std::array<bool, kSceneSlots> objects{};
    for (int s = 0; s < kSceneSlots; ++s)
        objects[s] = images.slotOf[s] < 0 || static_cast<std::uint32_t>(images.slotOf[s]) == shown;
    cache = {viewer.scene.revision, viewer.textures.revision, shown, viewer.scene.visible, images.slotOf, true,
             uvTriangles(viewer.generation, viewer.scene, objects)};
    return cache.triangles;
}

std::string zoomText(int step) {
    return step >= 0 ? std::to_string(1 << step) + "x" : "1/" + std::to_string(1 << -step) + "x";
}

}  // namespace

SceneImages viewerImages(Viewer& viewer) {
    if (!viewer.modes.byName) return chosenImageOnly(viewer.textures);
    return imagesByName(viewer.scene, viewer.textures, viewer.slotImages);
}

bool drawViewerFrame(Viewer& viewer) {
    const SceneImages images = viewerImages(viewer);
    if (viewer.modes.textureView) {
        const FrameImage& shown = images.images[0];
        const std::vector<UvTriangle>* layout = viewer.modes.uvLayout ? &layoutOfShownImage(viewer, images) : nullptr;
        drawTextureView(shown,
                        placeTexture(viewer.textureView, shown.image.width, shown.image.height, viewer.clientWidth,
                                     viewer.clientHeight),
                        viewer.clientWidth, viewer.clientHeight, layout, viewer.textureCache);
        return false;
    }
    ViewState& view = viewer.view;
    const double used = view.pose.fitDistance;
    keepFit(view, drawFrame(viewer.generation, viewer.scene, images, viewer.textureCache, view.pose,
                            {.wireframe = viewer.modes.wireframe}));
    return view.pose.fitDistance != used;
}

std::string textureViewCaption(const Viewer& viewer) {
    const TextureStore& store = viewer.textures;
    const ShownImage shown = shownImage(store);
    const std::uint32_t slot = store.currentSlot;
    if (traits(store.generation).blankSlot && store.slotCount > 0 && slot == store.slotCount) return "Blank";
    if (!shown.pixels || shown.width == 0 || shown.height == 0) return "no image";
    std::string name, format;
    if (store.slotCount > 0 && slot < kTextureSlots) {
        name = latin1ToUtf8(store.name[slot].substr(0, store.name[slot].find('\0')));
        const std::int32_t code = store.formatCode[slot];
        format = code == kFormatDxt1 ? "DXT1" : code == kFormatDxt3 ? "DXT3" : "format " + std::to_string(code);
    } else if (viewer.textureFile) {
        // A picture: named by its file, its format by the extension.
        name = displayName(*viewer.textureFile);
        const std::string extension = viewer.textureFile->extension().string();
        format = extension.empty() ? "" : extension.substr(1);
        std::transform(format.begin(), format.end(), format.begin(), [](unsigned char c) { return std::toupper(c); });
    }
    return name + (name.empty() ? "" : " ") + format + (format.empty() ? "" : " ") + std::to_string(shown.width) + "x" +
           std::to_string(shown.height) + " at " + zoomText(viewer.textureView.zoomStep);
}

}  // namespace kelvane
