#pragma once

#include <filesystem>
#include <string>

#include "app/viewer.h"

namespace kelvane {

// The window title: "Kelvane v0.7" until something is loaded, then the
// files shown ("head.ebo, head.fsh - Kelvane v0.7"); after a failed load,
// until the next one, which file and why before them ("big.bmp: picture of
// ... - head.ebo, head.fsh - Kelvane v0.7").
std::string windowTitleText(const Viewer& viewer);

// Gives the window the title the viewer's state calls for.
void updateWindowTitle(Viewer& viewer);

// A file's name without its folder, as UTF-8.
std::string displayName(const std::filesystem::path& path);

}  // namespace kelvane
