#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace kelvane::test {

// A BMP file as a test describes it: headers, colour table, bit-field masks
// and stored rows (first row in the file first), each written as given.
struct BmpPicture {
    std::uint32_t infoHeaderSize = 40;  // 12 writes the core header and 3-byte colours
    std::int32_t width = 1;
    std::int32_t height = 1;            // negative: top-down
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::vector<std::array<std::uint8_t, 3>> palette;  // blue, green, red
    std::optional<std::uint32_t> coloursUsed;          // default palette.size()
    std::array<std::uint32_t, 3> masks{};              // written after a 40-byte header with compression 3
    std::vector<std::vector<std::uint8_t>> rows;       // unpadded; padding to 4 bytes is added
    bool padLastRow = true;
};

std::vector<std::uint8_t> buildBmp(const BmpPicture& picture);

}  // namespace kelvane::test
