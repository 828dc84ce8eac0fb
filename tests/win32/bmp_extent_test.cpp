#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/bmp_extent.h"

namespace kelvane::platform {
namespace {

void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}
void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

// A BMP with a 40-byte info header, a colour table of `paletteEntries` and
// uncompressed rows (or `imageSize` bytes when compressed).
std::vector<std::uint8_t> bmp(std::int32_t width, std::int32_t height, int bitsPerPixel, std::uint32_t compression = 0,
                              std::uint32_t paletteEntries = 0, std::uint32_t imageSize = 0) {
    const std::uint32_t offset = 54 + paletteEntries * 4;
    const std::int64_t rows = height < 0 ? -std::int64_t{height} : height;
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) * bitsPerPixel + 31) / 32 * 4;
    const std::uint32_t data = compression == 0 || compression == 3 ? stride * static_cast<std::uint32_t>(rows) : imageSize;
    std::vector<std::uint8_t> b(offset + data, 0);
    put16(b, 0, 0x4D42);
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, offset);
    put32(b, 14, 40);
    put32(b, 18, static_cast<std::uint32_t>(width));
    put32(b, 22, static_cast<std::uint32_t>(height));
    put16(b, 26, 1);
    put16(b, 28, bitsPerPixel);
    put32(b, 30, compression);
    put32(b, 34, imageSize);
    put32(b, 46, paletteEntries);
    return b;
}

bool fits(std::vector<std::uint8_t> bytes) {
    ByteReader reader(std::move(bytes));
    return bmpDataInsideFile(reader);
}

TEST(BmpExtent, CompleteFilesOfEveryLayoutPassAndOneByteShortFail) {
    for (auto file : {bmp(7, 5, 24), bmp(7, -5, 24) /* top-down */, bmp(3, 3, 8, 0, 256),
                      bmp(3, 3, 8, 0, 2) /* a short colour table */, bmp(3, 3, 16, 3, 3) /* bit-field masks */,
                      bmp(1, 1, 32), bmp(4, 4, 8, 1, 256, 20) /* run-length coded */}) {
        EXPECT_TRUE(fits(file));
        file.pop_back();
        EXPECT_FALSE(fits(file));
    }
    auto palette = bmp(1, 1, 8, 0, 256);
    palette.resize(54 + 100);  // cut inside the colour table
    EXPECT_FALSE(fits(palette));
    auto headerOnly = bmp(7, 5, 24);
    headerOnly.resize(30);  // cut inside the info header
    EXPECT_FALSE(fits(headerOnly));
    EXPECT_FALSE(fits({}));
}

TEST(BmpExtent, ImpossibleHeadersFail) {
    auto wrongMagic = bmp(2, 2, 24);
    wrongMagic[0] = 'X';
    EXPECT_FALSE(fits(wrongMagic));
    EXPECT_FALSE(fits(bmp(0, 5, 24)));
    EXPECT_FALSE(fits(bmp(2, 2, 8, 1, 256, 0)));  // compressed with no data size

    // Sizes whose byte count overflows 32 bits must not wrap into "fits".
    auto huge = bmp(1, 1, 32);
    put32(huge, 18, 0x7FFFFFFF);
    put32(huge, 22, 0x7FFFFFFF);
    EXPECT_FALSE(fits(huge));
    auto hugeOffset = bmp(1, 1, 24);
    put32(hugeOffset, 10, 0xFFFFFFF0);
    EXPECT_FALSE(fits(hugeOffset));
    auto badInfoSize = bmp(1, 1, 24);
    put32(badInfoSize, 14, 0xFFFFFFFF);
    EXPECT_FALSE(fits(badInfoSize));
}

}  // namespace
}  // namespace kelvane::platform
