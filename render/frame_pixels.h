#pragma once

#include <cstdint>
#include <vector>

namespace kelvane {

// The frame just drawn, before it is shown: width x height RGBA pixels of
// the back buffer, top row first, alpha 255 (the window shows colour only).
std::vector<std::uint8_t> readFramePixels(int width, int height);

}  // namespace kelvane
