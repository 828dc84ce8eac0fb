#pragma once

// S3TC DXT1 and DXT3 blocks and simple encoders of whole images.

#include <array>
#include <cstdint>
#include <vector>

namespace kelvane::writers {

// RGB 5:6:5 colour word from 8-bit channels (truncating).
std::uint16_t rgb565(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// Single blocks from colour words and per-pixel palette indices (pixel k at
// column k % 4, row k / 4) and, for DXT3, 4-bit alphas.
std::array<std::uint8_t, 8> dxt1Block(std::uint16_t colour0, std::uint16_t colour1,
                                      const std::array<std::uint8_t, 16>& indices);
std::array<std::uint8_t, 16> dxt3Block(const std::array<std::uint8_t, 16>& alphas, std::uint16_t colour0,
                                       std::uint16_t colour1, const std::array<std::uint8_t, 16>& indices);

// Simple encoders of a width x height RGBA image (rows top first): endpoints
// from the block's channel bounds, each pixel takes the nearest of the four
// palette entries. DXT1 output is always opaque.
std::vector<std::uint8_t> encodeDxt1(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& rgba);
std::vector<std::uint8_t> encodeDxt3(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& rgba);

}  // namespace kelvane::writers
