#pragma once

#include <cstddef>
#include <string>

#include "app/viewer.h"

namespace kelvane {

// The About text never exceeds this many bytes (it fits a 1024-byte buffer
// with its terminating NUL).
constexpr std::size_t kMaxAboutBytes = 1023;

// The About text; the current generation fills in the GL renderer and
// version, shortening them when they would not fit. Lines end with a CR.
std::string aboutText(Generation generation, const std::string& renderer, const std::string& version);

// Shows the About box for the viewer's window, caption "Kelvane".
void showAbout(Viewer& viewer);

}  // namespace kelvane
