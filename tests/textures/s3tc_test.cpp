#include "textures/s3tc.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "writers/dxt_encoder.h"

namespace kelvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Decodes into a buffer pre-filled with 0xEE, so missing and stray writes show.
Bytes decode(bool dxt3, std::uint32_t w, std::uint32_t h, const Bytes& src, std::size_t pixels = 16) {
    Bytes out(pixels * 4, 0xEE);
    (dxt3 ? decodeDxt3 : decodeDxt1)(w, h, src.data(), out.data());
    return out;
}
template <std::size_t N>
Bytes bytesOf(const std::array<std::uint8_t, N>& a) { return Bytes(a.begin(), a.end()); }

// Whole blocks whose rows all show palette entries 0, 1, 2, 3: every row is
// the given one, with DXT3 alpha 17 * k for pixel k (nibble k).
TEST(S3tc, DecodesBlocksByteExactly) {
    const std::tuple<bool, std::uint16_t, std::uint16_t, Bytes> cases[] = {
        {false, 0xF800, 0x001F, {0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0xFF, 0xAA, 0, 0x55, 0xFF, 0x55, 0, 0xAA, 0xFF}},  // thirds
        {false, 0x001F, 0xF800, {0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0xFF, 0x7F, 0, 0x7F, 0xFF, 0, 0, 0, 0}},  // midpoint, clear black
        {false, 0xF800, 0x0800, {0xFF, 0, 0, 0xFF, 8, 0, 0, 0xFF, 172, 0, 0, 0xFF, 90, 0, 0, 0xFF}},  // truncated, not rounded
        // Channels 20, 53, 25 and 29, 11, 3 expand one below the nearest value at 20, 25, 29 and 53.
        {false, 0xA6B9, 0xE963, {164, 214, 205, 0xFF, 238, 45, 25, 0xFF, 201, 129, 115, 0xFF, 0, 0, 0, 0}},
        // DXT3 thirds in any order (in the other, pinned by kelvane-inspect decode in tests/tools).
        {true, 0x001F, 0xF800, {0, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0x55, 0, 0xAA, 0, 0xAA, 0, 0x55, 0}},
    };
    const std::array<std::uint8_t, 16> ramp{0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3};
    const std::array<std::uint8_t, 16> alphas{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    for (const auto& [dxt3, colour0, colour1, row] : cases) {
        Bytes expected;
        for (int y = 0; y < 4; ++y) expected.insert(expected.end(), row.begin(), row.end());
        for (int k = 0; dxt3 && k < 16; ++k) expected[k * 4 + 3] = static_cast<std::uint8_t>(17 * k);
        const Bytes block = dxt3 ? bytesOf(writers::dxt3Block(alphas, colour0, colour1, ramp))
                                 : bytesOf(writers::dxt1Block(colour0, colour1, ramp));
        EXPECT_EQ(decode(dxt3, 4, 4, block), expected) << "dxt3=" << dxt3 << " " << colour0 << " " << colour1;
    }
}

TEST(S3tc, PartialBlocksDropColumnsAndWriteWholeRowsOnly) {
    for (bool dxt3 : {false, true}) {
        Bytes src;  // 2 x 2 solid blocks: block b has 5-bit red b + 1
        for (std::uint16_t c = 0x0841; c <= 4 * 0x0841; c += 0x0841) {
            const Bytes b = dxt3 ? bytesOf(writers::dxt3Block({}, c, c, {})) : bytesOf(writers::dxt1Block(c, c, {}));
            src.insert(src.end(), b.begin(), b.end());
        }
        ASSERT_EQ(dxtDecodedPixels(5, 5), 40u);
        // Pixel (x, y) comes from block (x / 4, y / 4), rows 5 pixels apart; nothing past the last block row.
        const Bytes out = decode(dxt3, 5, 5, src, 48);
        for (std::uint32_t p = 0; p < 48; ++p)
            EXPECT_EQ(out[p * 4], p < 40 ? expand5(1 + p / 20 * 2 + p % 5 / 4) : 0xEE) << p << " dxt3=" << dxt3;
    }
}

}  // namespace
}  // namespace kelvane
