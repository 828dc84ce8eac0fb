#include "textures/texture_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "textures/s3tc.h"
#include "writers/dxt_encoder.h"
#include "writers/fsh_writer.h"

namespace kelvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes firstBytes(const TextureStore& s, std::size_t n, std::size_t from = 0) {
    return Bytes(s.pixels.begin() + from, s.pixels.begin() + from + n);
}
std::string sizeOf(std::uint32_t w, std::uint32_t h) { return std::to_string(w) + "x" + std::to_string(h); }

TEST(TextureStoreImport, FlipsBottomUpBgrRowsIntoOpaqueRgba) {
    TextureStore s(Generation::Current);
    // Bottom row B1 G1 R1 B2 G2 R2 + 2 padding, then the top row.
    s.importPixels(2, 2, Bytes{11, 12, 13, 21, 22, 23, 0xAA, 0xAA, 31, 32, 33, 41, 42, 43, 0xBB, 0xBB});
    EXPECT_EQ(firstBytes(s, 16), (Bytes{33, 32, 31, 255, 43, 42, 41, 255, 13, 12, 11, 255, 23, 22, 21, 255}));
    const ShownImage shown = shownImage(s);
    EXPECT_EQ(sizeOf(shown.width, shown.height), "2x2");
    EXPECT_EQ(shown.pixels, s.pixels.data());
    // Rows of width 4 (12 bytes) have no padding.
    Bytes rows(24);
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<std::uint8_t>(i);
    s.importPixels(4, 2, rows);
    EXPECT_EQ(firstBytes(s, 8), (Bytes{14, 13, 12, 255, 17, 16, 15, 255}));
    EXPECT_EQ(firstBytes(s, 8, 16), (Bytes{2, 1, 0, 255, 5, 4, 3, 255}));
}

TEST(TextureStoreImport, EmptyShortOrTooLargePicturesLeaveThePixelsAlone) {
    TextureStore s(Generation::Legacy);  // 1024 x 1024 pixels
    s.pixels[0] = 99, s.slotCount = 3, s.currentSlot = 2;
    s.importPixels(7, 0, {});
    EXPECT_EQ(s.slotCount + s.currentSlot, 0u);
    EXPECT_EQ(sizeOf(s.width[0], s.height[0]), "7x0");
    s.importPixels(0, 0xFFFFFFFFu, {});  // no pixels, however many rows are claimed
    EXPECT_EQ(s.height[0], 0xFFFFFFFFu);
    EXPECT_EQ(shownImage(s).width, 0u);
    s.importPixels(2, 2, Bytes(15));  // needs 2 rows of 8 bytes
    EXPECT_EQ(sizeOf(s.width[0], s.height[0]), "0x0");
    EXPECT_EQ(shownImage(s).width, 0u);
    s.importPixels(2048, 1024, Bytes(2048 * 3 * 1024));
    EXPECT_EQ(s.width[0], 0u);
    EXPECT_EQ(s.pixels[0], 99);
    s.importPixels(1024, 1024, Bytes(1024 * 3 * 1024, 7));  // fills it exactly
    EXPECT_EQ(s.width[0], 1024u);
    EXPECT_EQ(s.pixels.back(), 255);
    EXPECT_EQ(s.pixels[0], 7);
}

// A picture import after an archive must not leave slot 0's DXT code and data
// to be decoded with the picture's size after a later load that fails.
TEST(TextureStoreImport, ClearsTheArchiveCodeOfSlotZero) {
    TextureStore s(Generation::Current);
    s.slotCount = 1, s.formatCode[0] = kFormatDxt1, s.width[0] = s.height[0] = 4;
    s.imageData[0] = Bytes(8, 0xFF);
    s.importPixels(2, 2, Bytes(16, 5));
    s.loadArchive("/no/such/archive.fsh");
    const Bytes before = firstBytes(s, 16);
    s.decodeSlot();
    EXPECT_EQ(firstBytes(s, 16), before);
    EXPECT_EQ(s.formatCode[0], 0);
    EXPECT_EQ(shownImage(s).width, 2u);
}

// An unknown code keeps the earlier picture and shows the slot's own size.
TEST(TextureStoreSlots, DecodeOnlyWhatFitsAndIsComplete) {
    struct Case {
        std::int32_t code;
        std::uint32_t width, height;
        std::size_t dataBytes;
        SlotFault fault;
    };
    const Case cases[] = {
        {kFormatDxt1, 4, 4, 8, SlotFault::None}, {kFormatDxt3, 4, 4, 16, SlotFault::None},
        {kFormatDxt3, 4, 4, 15, SlotFault::DataTooShort}, {kFormatDxt1, 8, 4, 8, SlotFault::DataTooShort},
        {kFormatDxt1, 1024, 1024, 1024 * 1024 / 2, SlotFault::None},
        // 1024 x 1021 fits as width x height but its last block row needs 1024 x 1024.
        {kFormatDxt1, 1024, 1021, 1024 * 1024 / 2, SlotFault::None},
        {kFormatDxt1, 1025, 1024, 2 * 1024 * 1024, SlotFault::TooLarge},
        {kFormatDxt1, 1, 1048577, 8 * 262145, SlotFault::TooLarge},
        {kFormatDxt1, 65536, 65536, 64, SlotFault::TooLarge},  // width * height wraps to 0 in 32 bits
        {kFormatDxt1, 0, 4, 0, SlotFault::None}, {354, 4, 4, 0, SlotFault::NotDxt}, {0, 0, 0, 0, SlotFault::NotDxt},
    };
    TextureStore s(Generation::Legacy);  // 1024 x 1024 pixels
    s.currentSlot = 5;
    for (const Case& c : cases) {
        s.formatCode[5] = c.code, s.width[5] = c.width, s.height[5] = c.height;
        s.imageData[5] = Bytes(c.dataBytes, 0xFF);
        EXPECT_EQ(slotFault(s, 5), c.fault) << c.code << " " << c.width << "x" << c.height;
        std::fill(s.pixels.begin(), s.pixels.begin() + 64, 0x33);
        s.decodeSlot();
        EXPECT_EQ(s.pixels[0] != 0x33, c.fault == SlotFault::None && c.width > 0) << c.width << "x" << c.height;
        const ShownImage shown = shownImage(s);
        const bool refused = c.fault == SlotFault::TooLarge || c.fault == SlotFault::DataTooShort;
        EXPECT_EQ(sizeOf(shown.width, shown.height), refused ? "0x0" : sizeOf(c.width, c.height));
        EXPECT_EQ(shown.pixels == nullptr, refused);
    }
    EXPECT_EQ(slotFault(s, kTextureSlots), SlotFault::OutOfRange);
    s.currentSlot = 25;
    s.decodeSlot();  // no slot 25: nothing happens
    EXPECT_EQ(shownImage(s).pixels, nullptr);
}

TEST(TextureStoreSlots, DecodesTheShownSlotWithItsVariant) {
    TextureStore s(Generation::Current);
    const auto b1 = writers::dxt1Block(0xF800, 0x001F, {2});
    const auto b3 = writers::dxt3Block({1}, 0xF800, 0x001F, {2});
    s.formatCode[0] = kFormatDxt1, s.formatCode[1] = kFormatDxt3;
    s.width = s.height = {4, 4};
    s.imageData[0].assign(b1.begin(), b1.end());
    s.imageData[1].assign(b3.begin(), b3.end());
    s.decodeSlot();
    EXPECT_EQ(firstBytes(s, 4), (Bytes{0xAA, 0, 0x55, 255}));
    s.currentSlot = 1;
    s.decodeSlot();
    EXPECT_EQ(firstBytes(s, 4), (Bytes{0xAA, 0, 0x55, 17}));
}

}  // namespace
}  // namespace kelvane
