#pragma once

#include "common/generation.h"

namespace kelvane {

// How the model is placed before the viewer; applied by every frame.
// The legacy generation keeps pan and zoom as 32-bit floats and angles and
// anchors as integers; every value it can reach (steps of 5.0, whole-pixel
// drags) is exact in these doubles, so one record serves both.
struct ViewState {
    double panX = 0;
    double panY = 0;
    double zoom = 0;
    double fitDistance = 0;  // written by drawScene (current generation)
    double step = 0;         // fitDistance / 10, the size of a key or wheel step
    double pitch = 0;        // degrees about X, within -180..180
    double yaw = 0;          // degrees about Y, within -180..180
    double anchorX = 0;      // previous drag sample; (0, 0) means no drag
    double anchorY = 0;
};

constexpr double kLegacyZoom = -10.0;

inline ViewState initialViewState(Generation generation) {
    ViewState view;
    if (generation == Generation::Legacy) view.zoom = kLegacyZoom;
    return view;
}

}  // namespace kelvane
