#pragma once

#include <optional>

#include "common/generation.h"
#include "model/scene.h"
#include "render/frame_images.h"
#include "textures/texture_store.h"

namespace kelvane {

// Where a frame places the model before the viewer: pan and zoom in scene
// units, pitch (about X) and yaw (about Y) in degrees, and the distance the
// previous draw fitted (the current generation moves the model that much
// further away; the earlier generation ignores it).
struct FramePose {
    double panX = 0;
    double panY = 0;
    double zoom = 0;
    double pitch = 0;
    double yaw = 0;
    double fitDistance = 0;
};

inline FramePose initialPose(Generation generation) {
    FramePose pose;
    pose.zoom = traits(generation).initialZoom;
    return pose;
}

// What drawing fitted the view to: the distance at which the visible
// objects fill it, and a tenth of that, the size of a key or wheel step.
struct Fit {
    double distance = 0;
    double step = 0;
};

class TextureCache;

// Lines drawn over a picture (the wireframe, the UV layout): cyan, which
// stands out on skin, hair and the grey checkerboard alike.
constexpr std::uint8_t kLineColour[3] = {0, 255, 255};

// What a frame adds to the designed picture.
struct DrawModes {
    bool wireframe = false;  // every drawn triangle's edges over the shaded model
};

// Uploads the image to GL's default texture and sends every visible object
// in immediate mode. Needs a current context in GL_MODELVIEW mode with the
// model-view matrix set. Returns the fit to the visible objects in the
// current generation; the earlier generation fits nothing.
//
// Vertices whose index lies past the end of an array the vertex reads are
// skipped (in the earlier generation's triangle lists, the whole triangle),
// so a malformed scene draws what it can and never reads outside an array.
std::optional<Fit> drawScene(Generation generation, const Scene& scene, const ShownImage& image);

// One whole frame without the buffer swap: clear, model-view matrix from the
// pose, drawScene. The caller shows it.
std::optional<Fit> drawFrame(Generation generation, const Scene& scene, const ShownImage& image, const FramePose& pose);

// The same picture with each object's own image from `images`, each kept as
// a texture in `cache` while its pixels stay the same, plus what `modes` add.
std::optional<Fit> drawScene(Generation generation, const Scene& scene, const SceneImages& images,
                             TextureCache& cache, const DrawModes& modes = {});
std::optional<Fit> drawFrame(Generation generation, const Scene& scene, const SceneImages& images, TextureCache& cache,
                             const FramePose& pose, const DrawModes& modes = {});

}  // namespace kelvane
