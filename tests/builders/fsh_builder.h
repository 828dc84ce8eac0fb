#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/builders/file_writer.h"

namespace kelvane::test {

// One image of an FSH archive as a test describes it.
struct FshImage {
    std::string name;  // bytes as written; 16 or more are written unterminated, cut to 16
    std::uint16_t formatCode = 352;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> data;
    std::optional<std::uint32_t> recordOffset;  // where the record goes; default: after the previous one
    std::optional<std::uint32_t> dataSize;      // declared size; default: data.size()
};

struct FshArchive {
    std::vector<FshImage> images;
    std::optional<std::uint32_t> imageCount;  // declared count; default: images.size()
};

// The archive's bytes: header, directory, then each record where it is asked
// to go (the file grows with zero bytes as needed).
std::vector<std::uint8_t> buildFsh(const FshArchive& archive);

// Offset of each image's record in buildFsh's output.
std::vector<std::uint32_t> fshRecordOffsets(const FshArchive& archive);

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

}  // namespace kelvane::test
