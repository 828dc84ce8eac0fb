#pragma once

#include <cstdint>

#include "app/viewer.h"

namespace kelvane {

// Arrow keys pan, HOME resets the pan; other keys change nothing.
void onKeyDown(Viewer& viewer, std::uintptr_t virtualKey);
// One step nearer or farther per message, whatever the delta.
void onMouseWheel(Viewer& viewer, std::uintptr_t wParam);
// A left-button drag turns the model. Returns true when the sample changed
// the view and a frame must be drawn at once.
bool onMouseMove(Viewer& viewer, std::uintptr_t flags, std::intptr_t position);

}  // namespace kelvane
