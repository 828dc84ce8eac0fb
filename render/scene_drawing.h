#pragma once

#include <optional>

#include "common/generation.h"
#include "model/scene.h"
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

}  // namespace kelvane
