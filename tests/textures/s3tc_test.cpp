#include "textures/s3tc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/builders/fsh_builder.h"

namespace kelvane {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::dxt1Block;
using test::dxt3Block;

Bytes decode1(std::uint32_t w, std::uint32_t h, const Bytes& src, std::size_t pixels) {
    Bytes out(pixels * 4, 0xEE);
    decodeDxt1(w, h, src.data(), out.data());
    return out;
}
Bytes decode3(std::uint32_t w, std::uint32_t h, const Bytes& src, std::size_t pixels) {
    Bytes out(pixels * 4, 0xEE);
    decodeDxt3(w, h, src.data(), out.data());
    return out;
}
Bytes pixel(const Bytes& image, std::size_t index) {
    return Bytes(image.begin() + index * 4, image.begin() + index * 4 + 4);
}
Bytes rowOf(std::initializer_list<Bytes> pixels) {
    Bytes row;
    for (const auto& p : pixels) row.insert(row.end(), p.begin(), p.end());
    return row;
}

// Independent reference for the channel expansion: the nearest 8-bit value
// of v * 255 / max, except where the files' arithmetic lands one below it.
int referenceExpand(int v, int max) {
    const int nearest = static_cast<int>(std::lround(v * 255.0 / max));
    const bool oneBelow = (max == 31 && (v == 20 || v == 25 || v == 29)) || (max == 63 && v == 53);
    return nearest - (oneBelow ? 1 : 0);
}

TEST(S3tcExpansion, MatchesTheTellingValuesAndAReferenceForEveryInput) {
    const int five[][2] = {{0, 0}, {1, 8}, {3, 25}, {7, 58}, {20, 164}, {25, 205}, {29, 238}, {31, 255}};
    for (auto [v, e] : five) EXPECT_EQ(expand5(v), static_cast<std::uint32_t>(e)) << v;
    const int six[][2] = {{0, 0}, {1, 4}, {11, 45}, {48, 194}, {53, 214}, {63, 255}};
    for (auto [v, e] : six) EXPECT_EQ(expand6(v), static_cast<std::uint32_t>(e)) << v;
    for (int v = 0; v < 32; ++v) EXPECT_EQ(static_cast<int>(expand5(v)), referenceExpand(v, 31)) << v;
    for (int v = 0; v < 64; ++v) EXPECT_EQ(static_cast<int>(expand6(v)), referenceExpand(v, 63)) << v;
}

TEST(S3tcDxt1, DecodesTheFourColourExample) {
    const Bytes block{0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4};
    const Bytes out = decode1(4, 4, block, 16);
    const Bytes row = rowOf({{0xFF, 0, 0, 0xFF}, {0, 0, 0xFF, 0xFF}, {0xAA, 0, 0x55, 0xFF}, {0x55, 0, 0xAA, 0xFF}});
    for (int y = 0; y < 4; ++y) EXPECT_EQ(Bytes(out.begin() + y * 16, out.begin() + y * 16 + 16), row) << y;
}

TEST(S3tcDxt1, DecodesTheThreeColourExampleWithTransparentBlack) {
    const Bytes block{0x1F, 0x00, 0x00, 0xF8, 0xE4, 0xE4, 0xE4, 0xE4};
    const Bytes out = decode1(4, 4, block, 16);
    const Bytes row = rowOf({{0, 0, 0xFF, 0xFF}, {0xFF, 0, 0, 0xFF}, {0x7F, 0, 0x7F, 0xFF}, {0, 0, 0, 0}});
    for (int y = 0; y < 4; ++y) EXPECT_EQ(Bytes(out.begin() + y * 16, out.begin() + y * 16 + 16), row) << y;
}

TEST(S3tcDxt1, PaletteModesAtTheExtremes) {
    const std::array<std::uint8_t, 16> ramp{0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3};
    auto entries = [&](std::uint16_t c0, std::uint16_t c1) {
        const auto b = dxt1Block(c0, c1, ramp);
        return decode1(4, 4, Bytes(b.begin(), b.end()), 16);
    };
    // Equal words: three-colour mode.
    const Bytes same = entries(0x1234, 0x1234);
    EXPECT_EQ(pixel(same, 2), pixel(same, 0));
    EXPECT_EQ(pixel(same, 3), (Bytes{0, 0, 0, 0}));
    const Bytes whiteFirst = entries(0xFFFF, 0x0000);
    EXPECT_EQ(pixel(whiteFirst, 2), (Bytes{170, 170, 170, 255}));
    EXPECT_EQ(pixel(whiteFirst, 3), (Bytes{85, 85, 85, 255}));
    const Bytes blackFirst = entries(0x0000, 0xFFFF);
    EXPECT_EQ(pixel(blackFirst, 2), (Bytes{127, 127, 127, 255}));
    EXPECT_EQ(pixel(blackFirst, 3), (Bytes{0, 0, 0, 0}));
    // Truncation, not rounding: 255 and 8 give 172 and 90.
    const Bytes trunc = entries(0xF800, 0x0800);
    EXPECT_EQ(pixel(trunc, 2)[0], 172);
    EXPECT_EQ(pixel(trunc, 3)[0], 90);
}

TEST(S3tcDxt3, DecodesTheAlphaExample) {
    const Bytes block{0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE,
                      0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4};
    const Bytes out = decode3(4, 4, block, 16);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 16),
              rowOf({{0xFF, 0, 0, 0}, {0, 0, 0xFF, 0x11}, {0xAA, 0, 0x55, 0x22}, {0x55, 0, 0xAA, 0x33}}));
    EXPECT_EQ(pixel(out, 15), (Bytes{0x55, 0, 0xAA, 0xFF}));
    for (int k = 0; k < 16; ++k) EXPECT_EQ(out[k * 4 + 3], 17 * k) << k;
}

TEST(S3tcDxt3, AlwaysInterpolatesByThirds) {
    std::array<std::uint8_t, 16> alphas{};
    alphas[2] = 15, alphas[3] = 1;
    const auto b = dxt3Block(alphas, 0x001F, 0xF800, {0, 1, 2, 3});  // colour0 < colour1
    const Bytes out = decode3(4, 4, Bytes(b.begin(), b.end()), 16);
    EXPECT_EQ(pixel(out, 2), (Bytes{0x55, 0, 0xAA, 255}));
    EXPECT_EQ(pixel(out, 3), (Bytes{0xAA, 0, 0x55, 17}));
    EXPECT_EQ(pixel(out, 4)[3], 0);
}

// Every pair of values of each channel field, through both variants, against
// (2a + b) / 3, (a + 2b) / 3 and (a + b) / 2 of the reference expansion.
TEST(S3tcPalette, InterpolatesEveryPairOfChannelValues) {
    struct Field {
        int shift, bits, channel;
    };
    const std::array<std::uint8_t, 16> ramp{0, 1, 2, 3};
    for (const Field f : {Field{11, 5, 0}, Field{5, 6, 1}, Field{0, 5, 2}}) {
        const int max = (1 << f.bits) - 1;
        for (int a = 0; a <= max; ++a)
            for (int b = 0; b <= max; ++b) {
                const auto w0 = static_cast<std::uint16_t>(a << f.shift), w1 = static_cast<std::uint16_t>(b << f.shift);
                const int ea = referenceExpand(a, max), eb = referenceExpand(b, max);
                const auto b1 = dxt1Block(w0, w1, ramp);
                const Bytes one = decode1(4, 4, Bytes(b1.begin(), b1.end()), 16);
                const auto b3 = dxt3Block({}, w0, w1, ramp);
                const Bytes three = decode3(4, 4, Bytes(b3.begin(), b3.end()), 16);
                const int thirds2 = (2 * ea + eb) / 3, thirds3 = (ea + 2 * eb) / 3;
                ASSERT_EQ(one[0 * 4 + f.channel], ea);
                ASSERT_EQ(one[1 * 4 + f.channel], eb);
                if (a > b) {
                    ASSERT_EQ(one[2 * 4 + f.channel], thirds2) << a << " " << b;
                    ASSERT_EQ(one[3 * 4 + f.channel], thirds3) << a << " " << b;
                } else {
                    ASSERT_EQ(one[2 * 4 + f.channel], (ea + eb) / 2) << a << " " << b;
                    ASSERT_EQ(pixel(one, 3), (Bytes{0, 0, 0, 0}));
                }
                ASSERT_EQ(three[2 * 4 + f.channel], thirds2) << a << " " << b;
                ASSERT_EQ(three[3 * 4 + f.channel], thirds3) << a << " " << b;
            }
    }
}

// Block (bx, by) of a test image: a distinct solid colour each.
Bytes solidBlocks(std::uint32_t across, std::uint32_t down, bool dxt3) {
    Bytes src;
    for (std::uint32_t i = 0; i < across * down; ++i) {
        const auto c = static_cast<std::uint16_t>(0x0841 * (i + 1));
        if (dxt3) {
            std::array<std::uint8_t, 16> alphas;
            alphas.fill(static_cast<std::uint8_t>(i & 15));
            const auto b = dxt3Block(alphas, c, c, {});
            src.insert(src.end(), b.begin(), b.end());
        } else {
            const auto b = dxt1Block(c, c, {});
            src.insert(src.end(), b.begin(), b.end());
        }
    }
    return src;
}

TEST(S3tcBlockWalk, PartialBlocksDropColumnsAndWriteWholeRows) {
    for (bool dxt3 : {false, true}) {
        const Bytes src = solidBlocks(2, 2, dxt3);
        EXPECT_EQ(src.size(), dxtDataBytes(5, 5, dxt3 ? kDxt3BlockBytes : kDxt1BlockBytes));
        const std::size_t written = dxtDecodedPixels(5, 5);
        ASSERT_EQ(written, 40u);
        const Bytes out = dxt3 ? decode3(5, 5, src, 48) : decode1(5, 5, src, 48);
        // Pixel (x, y) comes from block (x / 4, y / 4); row stride is 5.
        for (std::uint32_t y = 0; y < 8; ++y)
            for (std::uint32_t x = 0; x < 5; ++x) {
                const std::uint32_t blockIndex = (y / 4) * 2 + x / 4;
                const Bytes expected = pixel(dxt3 ? decode3(4, 4, Bytes(src.begin() + blockIndex * 16,
                                                                        src.begin() + blockIndex * 16 + 16), 16)
                                                  : decode1(4, 4, Bytes(src.begin() + blockIndex * 8,
                                                                        src.begin() + blockIndex * 8 + 8), 16),
                                             0);
                EXPECT_EQ(pixel(out, y * 5 + x), expected) << x << "," << y << " dxt3=" << dxt3;
            }
        // Nothing past the rows of the last block row.
        for (std::size_t i = written; i < 48; ++i) EXPECT_EQ(pixel(out, i), (Bytes{0xEE, 0xEE, 0xEE, 0xEE}));
    }
}

TEST(S3tcBlockWalk, EmptySizesLeaveTheDestinationUntouched) {
    const Bytes src = solidBlocks(1, 1, true);
    for (auto [w, h] : {std::pair{0u, 4u}, std::pair{4u, 0u}, std::pair{0u, 0u}}) {
        EXPECT_EQ(decode1(w, h, src, 16), Bytes(64, 0xEE));
        EXPECT_EQ(decode3(w, h, src, 16), Bytes(64, 0xEE));
        EXPECT_EQ(dxtDecodedPixels(w, h), 0u);
    }
}

TEST(S3tcSizes, OneBlockPerFourByFourAndNoOverflow) {
    EXPECT_EQ(dxtDataBytes(4, 4, kDxt1BlockBytes), 8u);
    EXPECT_EQ(dxtDataBytes(4, 4, kDxt3BlockBytes), 16u);
    EXPECT_EQ(dxtDataBytes(2048, 2048, kDxt1BlockBytes), 2048u * 2048 / 2);
    EXPECT_EQ(dxtDataBytes(0xFFFFFFFFu, 0xFFFFFFFFu, 16), 0x40000000ull * 0x40000000ull * 16);
    EXPECT_EQ(dxtDecodedPixels(0xFFFFFFFFu, 1), 0xFFFFFFFFull * 4);
    EXPECT_EQ(dxtDecodedPixels(3, 5), 24u);
}

// The per-block operation placed at each block's origin gives the whole-image result.
TEST(S3tcBlockWalk, BlockOperationAtItsOriginMatchesTheImageDecoder) {
    const std::uint32_t w = 7, h = 6;
    Bytes rgba(w * h * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<std::uint8_t>(i * 37 + 11);
    for (bool dxt3 : {false, true}) {
        const Bytes src = dxt3 ? test::encodeDxt3(w, h, rgba) : test::encodeDxt1(w, h, rgba);
        const std::size_t blockBytes = dxt3 ? 16 : 8;
        Bytes byBlocks(w * 8 * 4, 0);
        for (std::uint32_t by = 0; by < 2; ++by)
            for (std::uint32_t bx = 0; bx < 2; ++bx) {
                const std::uint8_t* block = src.data() + (by * 2 + bx) * blockBytes;
                (dxt3 ? decodeDxt3Block : decodeDxt1Block)(block, 4 * bx, 4 * by, w, byBlocks.data());
            }
        Bytes whole(w * 8 * 4, 0);
        (dxt3 ? decodeDxt3 : decodeDxt1)(w, h, src.data(), whole.data());
        EXPECT_EQ(byBlocks, whole);
    }
}

// The builder's encoder and the decoder agree closely on a smooth picture.
TEST(S3tcRoundTrip, EncodedGradientDecodesNearTheOriginal) {
    const std::uint32_t w = 16, h = 8;
    Bytes rgba(w * h * 4);
    for (std::uint32_t y = 0; y < h; ++y)
        for (std::uint32_t x = 0; x < w; ++x) {
            std::uint8_t* p = &rgba[(y * w + x) * 4];
            // Colours along one line per block, as the simple encoder expects.
            p[0] = static_cast<std::uint8_t>(x * 16), p[1] = static_cast<std::uint8_t>(x * 8), p[2] = 128;
            p[3] = static_cast<std::uint8_t>(y * 34);
        }
    const Bytes one = decode1(w, h, test::encodeDxt1(w, h, rgba), w * h);
    const Bytes three = decode3(w, h, test::encodeDxt3(w, h, rgba), w * h);
    for (std::size_t i = 0; i < w * h; ++i)
        for (int ch = 0; ch < 3; ++ch) {
            EXPECT_NEAR(one[i * 4 + ch], rgba[i * 4 + ch], 12) << i;
            EXPECT_NEAR(three[i * 4 + ch], rgba[i * 4 + ch], 12) << i;
        }
    for (std::size_t i = 0; i < w * h; ++i) {
        EXPECT_EQ(one[i * 4 + 3], 255);
        EXPECT_NEAR(three[i * 4 + 3], rgba[i * 4 + 3], 8);
    }
}

}  // namespace
}  // namespace kelvane
