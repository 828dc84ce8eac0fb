#pragma once

// The one check every BMP file passes before any decoder sees its bytes:
// stb_image on Linux and in kelvane-inspect, LoadImageW on Windows.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "common/byte_reader.h"
#include "common/result.h"

namespace kelvane::platform {

// Pictures larger than this are refused before any loader sizes a buffer.
constexpr std::uint64_t kMaxBitmapPixels = 64ull * 1024 * 1024;

// The viewers import pictures up to this size in each direction and drop
// larger ones after loading them.
constexpr std::uint32_t kMaxImportedBitmapSide = 1024;
// Done when a picture of this size is imported; why it is dropped otherwise.
Outcome importableSize(std::uint32_t width, std::uint32_t height);

constexpr std::uint32_t kBmpUncompressed = 0;
constexpr std::uint32_t kBmpRle8 = 1;
constexpr std::uint32_t kBmpRle4 = 2;
constexpr std::uint32_t kBmpBitFields = 3;

// "none", "RLE8", "bit fields", ... for any compression code.
std::string bmpCompressionName(std::uint32_t code);

// What a BMP file's headers say, as far as they could be read.
struct BmpLayout {
    std::uint32_t infoHeaderSize = 0;   // 12 (core), 40, 52, 56, 108 or 124
    std::int64_t width = 0;
    std::int64_t height = 0;            // rows; a top-down file stores a negative height
    bool topDown = false;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = kBmpUncompressed;
    std::uint32_t paletteEntries = 0;   // colour table entries (depths up to 8)
    std::uint32_t paletteEntrySize = 4; // 3 bytes after a core header
    std::int64_t paletteOffset = 0;
    std::array<std::uint32_t, 3> masks{};  // red, green, blue, with bit fields
    std::int64_t pixelOffset = 0;
    std::int64_t stride = 0;            // bytes per row, padded to a multiple of 4
    bool lastRowUnpadded = false;       // the file ends after the last row's pixels, before its padding
};

struct BmpCheck {
    BmpLayout layout;
    Outcome verdict = Done{};  // why the picture is refused; done when it may be decoded
};

// Reads and vets a BMP file's headers, colour table and pixel extent
// against the file itself. Accepted: 1, 4 and 8-bit colour tables, 16 bits
// (5-5-5 or bit fields), 24 and 32 bits, bottom-up or top-down, and a file
// whose last row lacks its padding. Refused, with the reason: run-length and
// other compression, odd depths and header sizes, colour tables larger than
// the depth allows or than the file holds, pixels naming a colour past the
// table, bit-field masks that are empty, overlapping, split or wider than
// 8 bits, and rows the file does not hold. The reason for a file that is
// no BMP picture at all begins "not a BMP picture: ".
BmpCheck checkBmp(ByteReader& file);

}  // namespace kelvane::platform
