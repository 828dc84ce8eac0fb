// The BMP check and decoder that both backends and kelvane-inspect use:
// small pictures of every depth decode to the right colours, hand-made
// hostile files are refused with a reason before the decoder sees them.
#include <gtest/gtest.h>

#include "common/bmp_rows.h"
#include "platform/bmp_decoder.h"
#include "tests/builders/bmp_builder.h"
#include "tests/builders/test_files.h"

// Pictures are written as designated initializers that leave most fields at
// their defaults, which GCC 12 reports as missing.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace kelvane::platform {
namespace {

using test::BmpPicture;
using Bytes = std::vector<std::uint8_t>;

// The decoded picture as 0xRRGGBB values, top row first.
std::vector<std::uint32_t> topDownRgb(const Bitmap& bitmap) {
    std::vector<std::uint32_t> out;
    for (std::uint32_t y = bitmap.height; y-- > 0;)
        for (std::uint32_t x = 0; x < bitmap.width; ++x) {
            const std::uint8_t* p = &bitmap.bottomUpBgrRows[bmpRowStride24(bitmap.width) * y + 3 * x];
            out.push_back(std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0]);
        }
    return out;
}

// The picture, or nothing and the reason in `reason`.
std::optional<Bitmap> decode(const Bytes& bytes, std::string* reason) {
    ByteReader file{Bytes(bytes)};
    auto bitmap = decodeBmp(file);
    if (bitmap) return std::move(*bitmap);
    *reason = bitmap.problem().what;
    return std::nullopt;
}

const std::vector<std::array<std::uint8_t, 3>> kPalette = {{0, 0, 0}, {0xFF, 0xFF, 0xFF}, {0x30, 0x20, 0x10}};

TEST(BmpDecoder, EveryDepthAndOrientationDecodesToItsColours) {
    const std::vector<std::tuple<const char*, BmpPicture, std::vector<std::uint32_t>>> cases = {
        {"1-bit, bottom-up", {.width = 3, .height = 2, .bitsPerPixel = 1, .palette = {kPalette[0], kPalette[1]},
                              .rows = {{0b10100000}, {0b01000000}}}, {0, 0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF}},
        {"4-bit, 3 colours", {.width = 3, .bitsPerPixel = 4, .palette = kPalette, .rows = {{0x21, 0}}}, {0x102030, 0xFFFFFF, 0}},
        {"8-bit, core header with 3-byte colours", {.infoHeaderSize = 12, .width = 2, .bitsPerPixel = 8,
          .palette = std::vector<std::array<std::uint8_t, 3>>(256, {1, 2, 3}), .rows = {{0, 255}}}, {0x030201, 0x030201}},
        {"16-bit 5-5-5", {.width = 3, .bitsPerPixel = 16, .rows = {{0, 0x7C, 0xE0, 0x03, 0x1F, 0}}}, {0xFF0000, 0xFF00, 0xFF}},
        {"16-bit 5-6-5 bit fields", {.width = 2, .bitsPerPixel = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F},
                                     .rows = {{0x00, 0xF8, 0xE0, 0x07}}}, {0xFF0000, 0x00FF00}},
        {"24-bit, top-down", {.width = 2, .height = -2, .rows = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}},
         {0x030201, 0x060504, 0x090807, 0x0C0B0A}},
        {"24-bit, last row unpadded", {.height = 2, .rows = {{1, 2, 3}, {4, 5, 6}}, .padLastRow = false}, {0x060504, 0x030201}},
        {"24-bit, colours used, no table", {.width = 2, .coloursUsed = 2, .rows = {{1, 2, 3, 4, 5, 6}}}, {0x030201, 0x060504}},
        {"32-bit, alpha ignored", {.bitsPerPixel = 32, .rows = {{1, 2, 3, 0x80}}}, {0x030201}},
        {"32-bit bit fields in a 124-byte header", {.infoHeaderSize = 124, .bitsPerPixel = 32, .compression = 3,
                                                    .masks = {0xFF, 0xFF00, 0xFF0000}, .rows = {{1, 2, 3, 0}}}, {0x010203}},
    };
    for (const auto& [what, picture, topDown] : cases) {
        std::string reason;
        const auto bitmap = decode(test::buildBmp(picture), &reason);
        ASSERT_TRUE(bitmap) << what << ": " << reason;
        EXPECT_EQ(std::pair(bitmap->width, topDownRgb(*bitmap)), std::pair(std::uint32_t(picture.width), topDown)) << what;
    }
}

BmpPicture grey8(std::int32_t width, std::int32_t height) {
    return {.width = width, .height = height, .bitsPerPixel = 8, .palette = {kPalette[0], kPalette[1]},
            .rows = std::vector<Bytes>(std::size_t(std::abs(height)), Bytes(std::size_t(width), 1))};
}

// Each refusal guards the decoder against a hostile file; the reason begins
// with what is wrong, and with "not a BMP picture: " only for a file that is
// none. Patches are 32-bit values at byte offsets.
TEST(BmpDecoder, HostileFilesAreRefusedWithTheirReason) {
    BmpPicture manyColours = grey8(512, 1), pastTable = grey8(2, 1);
    manyColours.palette.resize(4000);
    pastTable.rows = {{0, 7}};
    const Bytes rgb = test::buildBmp({.width = 2, .height = 2, .rows = {Bytes(6, 9), Bytes(6, 9)}});
    const Bytes grey = test::buildBmp(grey8(2, 2));
    const std::vector<std::tuple<const char*, Bytes, std::vector<std::pair<int, std::uint32_t>>, const char*>> cases = {
        // Overflowed a reader's fixed 256-entry colour map: 512 x 1, 4000 colours.
        {"palette over 256 colours", test::buildBmp(manyColours), {},
         "4000 colours used, more than a 8-bit picture can index (256)"},
        {"table longer than the file holds", grey, {{46, 0}}, "colour table of 256 entries runs past"},
        {"pixel past a short table", test::buildBmp(pastTable), {},
         "pixel 1 of stored row 0 uses colour 7 of a 2-entry colour table"},
        {"odd compression code", rgb, {{30, 0x7FFFFFFF}}, "compression code 2147483647"},
        {"bit fields on 24 bits", rgb, {{30, 3}}, "bit fields with 24 bits per pixel"},
        {"overlapping masks", test::buildBmp({.bitsPerPixel = 16, .compression = 3, .masks = {0x1F, 0x1F, 0x1F},
                                              .rows = {Bytes(2)}}), {}, "bit-field masks overlap"},
        {"mask wider than 8 bits", test::buildBmp({.bitsPerPixel = 32, .compression = 3, .masks = {0x3FF00000, 0xFFC00, 0x3FF},
                                                   .rows = {Bytes(4)}}), {}, "red mask 1072693248 is wider"},
        {"truncated rows", Bytes(rgb.begin(), rgb.end() - 3), {}, "pixel data is 13 bytes, 2 rows of 2 pixels need 14"},
        {"odd header size", rgb, {{14, 64}}, "not a BMP picture: info header size 64"},
        {"odd depth", grey, {{28, 7}}, "7 bits per pixel"},
        {"zero height", rgb, {{22, 0}}, "picture of 2 x 0 pixels has nothing to show"},
        {"huge picture", rgb, {{18, 0x7FFFFFFF}, {22, 0x7FFFFFFF}}, "picture of 2147483647 x 2147483647 pixels is larger"},
        {"pixel offset inside the headers", rgb, {{10, 20}}, "pixel data offset 20 lies inside the headers"},
        {"not a BMP", Bytes{'P', 'K', 3, 4}, {}, "not a BMP picture: no \"BM\" at offset 0"},
        {"header cut short", Bytes(rgb.begin(), rgb.begin() + 30), {}, "file ends inside the 40-byte info header"},
    };
    for (auto [what, file, patches, expected] : cases) {
        for (auto [at, value] : patches) test::put32(file, at, value);
        std::string reason;
        EXPECT_FALSE(decode(file, &reason)) << what;
        EXPECT_TRUE(reason.starts_with(expected)) << what << ": " << reason;
    }
}

}  // namespace
}  // namespace kelvane::platform
