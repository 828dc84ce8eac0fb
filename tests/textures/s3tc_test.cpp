#include "textures/s3tc.h"
#include "writers/dxt_encoder.h"
#include "writers/fsh_writer.h"

#include <gtest/gtest.h>

#include <vector>


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
Bytes pixel(const Bytes& image, std::size_t i) { return Bytes(image.begin() + i * 4, image.begin() + i * 4 + 4); }

// The files' own arithmetic: one below the nearest value at 20, 25, 29 and 53.
TEST(S3tcExpansion, MatchesTheTellingValues) {
    const int five[][2] = {{0, 0}, {1, 8}, {3, 25}, {7, 58}, {20, 164}, {25, 205}, {29, 238}, {31, 255}};
    for (auto [v, e] : five) EXPECT_EQ(expand5(v), static_cast<std::uint32_t>(e)) << v;
    const int six[][2] = {{0, 0}, {1, 4}, {11, 45}, {48, 194}, {53, 214}, {63, 255}};
    for (auto [v, e] : six) EXPECT_EQ(expand6(v), static_cast<std::uint32_t>(e)) << v;
}

// Whole blocks whose rows all use indices 0, 1, 2, 3 (0xE4): every row is the
// given first row, with DXT3 alpha 17 * nibble k for pixel k.
TEST(S3tcExamples, DecodeByteExactly) {
    struct Case {
        bool dxt3;
        Bytes block, row;
    };
    const Case cases[] = {
        {false, {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4},  // four colours
         {0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0xFF, 0xAA, 0, 0x55, 0xFF, 0x55, 0, 0xAA, 0xFF}},
        {false, {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0xE4, 0xE4, 0xE4},  // three colours and transparent black
         {0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0xFF, 0x7F, 0, 0x7F, 0xFF, 0, 0, 0, 0}},
        {true, {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE, 0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4},
         {0xFF, 0, 0, 0, 0, 0, 0xFF, 0, 0xAA, 0, 0x55, 0, 0x55, 0, 0xAA, 0}},
    };
    for (const Case& c : cases) {
        const Bytes out = decode(c.dxt3, 4, 4, c.block);
        for (int y = 0; y < 4; ++y) {
            Bytes row = c.row;
            for (int x = 0; c.dxt3 && x < 4; ++x) row[x * 4 + 3] = static_cast<std::uint8_t>(17 * (4 * y + x));
            EXPECT_EQ(Bytes(out.begin() + y * 16, out.begin() + y * 16 + 16), row) << "dxt3=" << c.dxt3 << " row " << y;
        }
    }
}

TEST(S3tcPalette, ModeChoiceAndTruncatingInterpolation) {
    const std::array<std::uint8_t, 16> ramp{0, 1, 2, 3};  // pixels 0..3 show palette entries 0..3
    struct Case {
        std::uint16_t c0, c1;
        Bytes entry2, entry3;
    };
    const Case cases[] = {
        {0xFFFF, 0x0000, {170, 170, 170, 255}, {85, 85, 85, 255}},  // colour0 > colour1: thirds
        {0x0000, 0xFFFF, {127, 127, 127, 255}, {0, 0, 0, 0}},       // otherwise midpoint, transparent black
        {0xF800, 0x0800, {172, 0, 0, 255}, {90, 0, 0, 255}},        // 255 and 8: truncated, not rounded
    };
    for (const Case& c : cases) {
        const Bytes out = decode(false, 4, 4, bytesOf(writers::dxt1Block(c.c0, c.c1, ramp)));
        EXPECT_EQ(pixel(out, 2), c.entry2) << c.c0;
        EXPECT_EQ(pixel(out, 3), c.entry3) << c.c0;
    }
    const Bytes same = decode(false, 4, 4, bytesOf(writers::dxt1Block(0x1234, 0x1234, ramp)));  // three-colour mode
    EXPECT_EQ(pixel(same, 2), pixel(same, 0));
    EXPECT_EQ(pixel(same, 3), (Bytes{0, 0, 0, 0}));
    // DXT3 interpolates by thirds whatever the word order; alpha is the nibble's alone.
    std::array<std::uint8_t, 16> alphas{};
    alphas[2] = 15, alphas[3] = 1;
    const Bytes three = decode(true, 4, 4, bytesOf(writers::dxt3Block(alphas, 0x001F, 0xF800, ramp)));
    EXPECT_EQ(pixel(three, 2), (Bytes{0x55, 0, 0xAA, 255}));
    EXPECT_EQ(pixel(three, 3), (Bytes{0xAA, 0, 0x55, 17}));
    EXPECT_EQ(pixel(three, 4)[3], 0);
}

TEST(S3tcBlockWalk, PartialBlocksDropColumnsAndWriteWholeRows) {
    for (bool dxt3 : {false, true}) {
        std::vector<Bytes> blocks;  // 2 x 2 blocks of distinct solid colours
        Bytes src;
        for (std::uint8_t i = 0; i < 4; ++i) {
            const auto c = static_cast<std::uint16_t>(0x0841 * (i + 1));
            std::array<std::uint8_t, 16> alphas;
            alphas.fill(i);
            blocks.push_back(dxt3 ? bytesOf(writers::dxt3Block(alphas, c, c, {})) : bytesOf(writers::dxt1Block(c, c, {})));
            src.insert(src.end(), blocks.back().begin(), blocks.back().end());
        }
        EXPECT_EQ(src.size(), dxtDataBytes(5, 5, dxt3 ? kDxt3BlockBytes : kDxt1BlockBytes));
        ASSERT_EQ(dxtDecodedPixels(5, 5), 40u);
        const Bytes out = decode(dxt3, 5, 5, src, 48);
        // Pixel (x, y) comes from block (x / 4, y / 4); rows are 5 pixels apart.
        for (std::uint32_t y = 0; y < 8; ++y)
            for (std::uint32_t x = 0; x < 5; ++x)
                EXPECT_EQ(pixel(out, y * 5 + x), pixel(decode(dxt3, 4, 4, blocks[(y / 4) * 2 + x / 4]), 0))
                    << x << "," << y << " dxt3=" << dxt3;
        EXPECT_EQ(Bytes(out.begin() + 40 * 4, out.end()), Bytes(8 * 4, 0xEE));  // nothing past the last block row
    }
}

TEST(S3tcSizes, WholeBlocksWithoutOverflowAndNothingForAnEmptySide) {
    EXPECT_EQ(dxtDataBytes(0xFFFFFFFFu, 0xFFFFFFFFu, 16), 0x40000000ull * 0x40000000ull * 16);
    EXPECT_EQ(dxtDecodedPixels(0xFFFFFFFFu, 1), 0xFFFFFFFFull * 4);
    const Bytes block(16, 0x5A);
    for (auto [w, h] : {std::pair{0u, 4u}, std::pair{4u, 0u}, std::pair{0u, 0u}}) {
        EXPECT_EQ(dxtDecodedPixels(w, h), 0u);
        for (bool dxt3 : {false, true}) EXPECT_EQ(decode(dxt3, w, h, block), Bytes(64, 0xEE)) << w << "x" << h;
    }
}

}  // namespace
}  // namespace kelvane
