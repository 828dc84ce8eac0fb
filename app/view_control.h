#pragma once

#include <cstdint>

#include "app/view_state.h"
#include "common/generation.h"

namespace kelvane {

// One mouse-move message as the window procedure decoded it.
struct MouseSample {
    bool leftButton = false;
    double x = 0;  // client position
    double y = 0;
};

// Arrow keys pan, HOME resets the pan; other keys change nothing.
void onKeyDown(ViewState& view, Generation generation, std::uintptr_t virtualKey);
// One step nearer or farther per wheel message, whatever the size of the delta.
void onMouseWheel(ViewState& view, Generation generation, int delta);
// A left-button drag turns the model. Returns true when the sample changed
// the view and a frame must be drawn at once.
bool onMouseMove(ViewState& view, const MouseSample& sample);

}  // namespace kelvane
