#pragma once

#include <string>

namespace kelvane {

// The GL_RENDERER and GL_VERSION strings of the current context ("" without one).
std::string glRendererString();
std::string glVersionString();

}  // namespace kelvane
