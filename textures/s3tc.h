#pragma once

#include <cstdint>

namespace kelvane {

// S3TC (DXT1 / DXT3) decoding into RGBA pixels: 4 bytes per pixel in the
// order red, green, blue, alpha, rows of exactly `width` pixels, row 0 first.
//
// The callers guarantee the sizes: the source holds dxtDataBytes() bytes and
// the destination dxtDecodedPixels() pixels. When the height is not a multiple
// of 4, the extra rows of the last block row are written too (from pixel
// width * height on); columns past the width are dropped.

constexpr std::uint32_t kDxt1BlockBytes = 8;
constexpr std::uint32_t kDxt3BlockBytes = 16;

constexpr std::uint64_t dxtBlocksAcross(std::uint32_t width) { return (std::uint64_t{width} + 3) / 4; }
constexpr std::uint64_t dxtBlocksDown(std::uint32_t height) { return (std::uint64_t{height} + 3) / 4; }

// Bytes of compressed data a width x height image needs.
constexpr std::uint64_t dxtDataBytes(std::uint32_t width, std::uint32_t height, std::uint32_t blockBytes) {
    return dxtBlocksAcross(width) * dxtBlocksDown(height) * blockBytes;
}

// Pixels the decoder writes for a width x height image (whole block rows).
constexpr std::uint64_t dxtDecodedPixels(std::uint32_t width, std::uint32_t height) {
    return std::uint64_t{width} * 4 * dxtBlocksDown(height);
}

// Channel expansion of the 5- and 6-bit fields of an RGB 5:6:5 colour word.
// This is the files' own arithmetic: neither bit replication nor exact rounding.
constexpr std::uint32_t expand5(std::uint32_t v) {
    const std::uint32_t t = 255 * v + 16;
    return (t + (t >> 5)) >> 5;
}
constexpr std::uint32_t expand6(std::uint32_t v) {
    const std::uint32_t t = 255 * v + 32;
    return (t + (t >> 6)) >> 6;
}

// Whole images: walk the blocks row by row and decode each at its origin.
void decodeDxt1(std::uint32_t width, std::uint32_t height, const std::uint8_t* source, std::uint8_t* destination);
void decodeDxt3(std::uint32_t width, std::uint32_t height, const std::uint8_t* source, std::uint8_t* destination);

}  // namespace kelvane
