#pragma once

#include <filesystem>
#include <string>

#include "app/viewer.h"

namespace kelvane {

// The window title: "Kelvane v0.7" until something is loaded, then the
// files shown ("head.ebo, head.fsh - Kelvane v0.7"); after a failed load,
// until the next one, which file and why before them ("big.bmp: picture of
// ... - head.ebo, head.fsh - Kelvane v0.7"). The View menu's choices add
// what they show after the files ("3 of 3 objects by name", the texture
// view's image).
std::string windowTitleText(const Viewer& viewer);

// Gives the window the title the viewer's state calls for.
void updateWindowTitle(Viewer& viewer);
// The same, only when that title differs from the one the window has.
void refreshWindowTitle(Viewer& viewer);

// A file's name without its folder, as UTF-8.
std::string displayName(const std::filesystem::path& path);

}  // namespace kelvane
