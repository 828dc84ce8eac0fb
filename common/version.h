#pragma once

// The release number of the three programs and the packages: one value, set
// by project(... VERSION ...) in the top CMakeLists.txt. The window titles
// carry their own fixed generation names and do not follow it.
namespace kelvane {
inline constexpr const char* kVersion = KELVANE_VERSION;
}  // namespace kelvane
