#pragma once

#include <cstdint>

namespace kelvane {

// Bytes of one stored row of a 24-bit BMP picture: 3 per pixel, padded to a
// multiple of 4.
constexpr std::uint64_t bmpRowStride24(std::uint64_t width) { return (width * 3 + 3) & ~std::uint64_t{3}; }

}  // namespace kelvane
