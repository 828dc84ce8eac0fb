#pragma once

#include <optional>

#include "common/generation.h"
#include "render/scene_drawing.h"
#include "textures/texture_store.h"

namespace kelvane {

// How the model is placed before the viewer; applied by every frame.
// The legacy generation keeps pan and zoom as 32-bit floats and angles and
// anchors as integers; every value it can reach (steps of 5.0, whole-pixel
// drags) is exact in these doubles, so one record serves both.
struct ViewState {
    double panX = 0;
    double panY = 0;
    double zoom = 0;
    double fitDistance = 0;  // the last fit drawing returned (current generation)
    double step = 0;         // fitDistance / 10, the size of a key or wheel step
    double pitch = 0;        // degrees about X, within -180..180
    double yaw = 0;          // degrees about Y, within -180..180
    double anchorX = 0;      // previous drag sample; (0, 0) means no drag
    double anchorY = 0;
};

inline ViewState initialViewState(Generation generation) {
    ViewState view;
    view.zoom = initialPose(generation).zoom;
    return view;
}

inline FramePose framePose(const ViewState& view) {
    return {view.panX, view.panY, view.zoom, view.pitch, view.yaw, view.fitDistance};
}

// Keeps what a draw fitted; the earlier generation fits nothing and leaves
// both values as they were.
inline void keepFit(ViewState& view, const std::optional<Fit>& fit) {
    if (!fit) return;
    view.fitDistance = fit->distance;
    view.step = fit->step;
}

// Draws one frame of the scene where the view places it and keeps its fit;
// the caller swaps. A frame is placed by the fit the previous frame found,
// so when this one found another (a load, a reload, objects shown or
// hidden) the picture is not yet the settled one: returns true, and the
// caller draws the next frame at once.
inline bool drawViewFrame(Generation generation, const Scene& scene, const TextureStore& textures, ViewState& view) {
    const double used = view.fitDistance;
    keepFit(view, drawFrame(generation, scene, shownImage(textures), framePose(view)));
    return view.fitDistance != used;
}

}  // namespace kelvane
