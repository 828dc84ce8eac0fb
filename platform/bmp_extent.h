#pragma once

#include <cstdint>

#include "common/byte_reader.h"

namespace kelvane::platform {

// Pictures larger than this are refused before any loader sizes a buffer.
constexpr std::uint64_t kMaxBitmapPixels = 64ull * 1024 * 1024;

// What a BMP file's headers say about its pixels.
struct BmpFacts {
    std::uint64_t pixels = 0;      // width x height
    std::uint32_t compression = 0; // 0 plain, 1 RLE8, 2 RLE4, 3 bit fields, ...
    bool runLengthEncoded() const { return compression == 1 || compression == 2; }
};

// True when a BMP file holds everything its headers promise: the info
// header, the colour table and the pixel data up to the last row. The
// toolkits' bitmap loaders read what the header says, so a short file
// would otherwise be read past its end or padded with junk. `facts`, when
// given, receives what the headers state.
bool bmpDataInsideFile(ByteReader& file, BmpFacts* facts = nullptr);

}  // namespace kelvane::platform
