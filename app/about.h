#pragma once

#include <string>

#include "app/viewer.h"

namespace kelvane {

// The About text; the current generation fills in the GL renderer and version.
std::string aboutText(Generation generation, const std::string& renderer, const std::string& version);

// Shows the About box for the viewer's window.
void showAbout(Viewer& viewer);

}  // namespace kelvane
