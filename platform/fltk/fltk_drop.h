#pragma once

// What FLTK hands over when files are dropped on a window: on X11 a
// text/uri-list ("file:///home/a%20b/head.ebo", one per line) or, from some
// programs, plain paths.

#include <filesystem>
#include <string_view>
#include <vector>

namespace kelvane::platform::fltk {

// The local files the dropped text names, in order. file:// URIs lose their
// scheme and host and have their %XX escapes decoded; plain paths stay as
// they are; other URIs and comment lines are left out.
std::vector<std::filesystem::path> droppedPaths(std::string_view text);

}  // namespace kelvane::platform::fltk
