#pragma once

#include <cstdint>

#include "app/viewer.h"

namespace kelvane {

// Handles a menu command (id in the low 16 bits of wParam). Returns the
// window procedure's result: 1, or 0 when "Load BMP" cannot load the
// chosen picture.
std::intptr_t handleCommand(Viewer& viewer, std::uintptr_t wParam);

}  // namespace kelvane
