#include "app/view_control.h"

namespace kelvane {

// Placeholders until view control lands.
void onKeyDown(Viewer&, std::uintptr_t) {}
void onMouseWheel(Viewer&, std::uintptr_t) {}
bool onMouseMove(Viewer&, std::uintptr_t, std::intptr_t) { return false; }

}  // namespace kelvane
