#pragma once

#include <optional>

#include "common/generation.h"
#include "render/scene_drawing.h"
#include "textures/texture_store.h"

namespace kelvane {

// How the model is placed before the viewer, applied by every frame, and
// what only the controls need. The legacy generation keeps pan and zoom as
// 32-bit floats and angles and anchors as integers; every value it can reach
// (steps of 5.0, whole-pixel drags) is exact in these doubles, so one record
// serves both.
struct ViewState {
    FramePose pose;      // angles within -180..180
    double step = 0;     // pose.fitDistance / 10, the size of a key or wheel step
    double anchorX = 0;  // previous drag sample; (0, 0) means no drag
    double anchorY = 0;
};

inline ViewState initialViewState(Generation generation) {
    ViewState view;
    view.pose = initialPose(generation);
    return view;
}

// Keeps what a draw fitted; the earlier generation fits nothing and leaves
// both values as they were.
inline void keepFit(ViewState& view, const std::optional<Fit>& fit) {
    if (!fit) return;
    view.pose.fitDistance = fit->distance;
    view.step = fit->step;
}

}  // namespace kelvane
