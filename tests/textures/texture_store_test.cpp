#include "textures/texture_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kelvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes firstBytes(const TextureStore& s, std::size_t n, std::size_t from = 0) {
    return Bytes(s.pixels.begin() + from, s.pixels.begin() + from + n);
}
// Slot 0's size, then the shown image's size ("-" for no pixels).
std::string sizes(const TextureStore& s) {
    const ShownImage shown = shownImage(s);
    return std::to_string(s.width[0]) + "x" + std::to_string(s.height[0]) + " " + std::to_string(shown.width) + "x" +
           std::to_string(shown.height) + (shown.pixels == s.pixels.data() ? "" : "-");
}

TEST(TextureStoreImport, FlipsBottomUpBgrRowsIntoOpaqueRgbaOrRefusesWhatDoesNotFit) {
    TextureStore s(Generation::Legacy);  // 1024 x 1024 pixels
    // Bottom row B1 G1 R1 B2 G2 R2 + 2 padding, then the top row.
    s.importPixels(2, 2, Bytes{11, 12, 13, 21, 22, 23, 0xAA, 0xAA, 31, 32, 33, 41, 42, 43, 0xBB, 0xBB});
    EXPECT_EQ(firstBytes(s, 16), (Bytes{33, 32, 31, 255, 43, 42, 41, 255, 13, 12, 11, 255, 23, 22, 21, 255}));
    EXPECT_EQ(sizes(s), "2x2 2x2");
    Bytes rows(24);  // rows of width 4 (12 bytes) have no padding
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<std::uint8_t>(i);
    s.importPixels(4, 2, rows);
    EXPECT_EQ(firstBytes(s, 20), (Bytes{14, 13, 12, 255, 17, 16, 15, 255, 20, 19, 18, 255, 23, 22, 21, 255, 2, 1, 0, 255}));

    s.pixels[0] = 99, s.slotCount = 3, s.currentSlot = 2;
    s.importPixels(7, 0, {});
    EXPECT_EQ(s.slotCount + s.currentSlot, 0u);
    EXPECT_EQ(sizes(s), "7x0 7x0");
    s.importPixels(0, 0xFFFFFFFFu, {});  // no pixels, however many rows are claimed
    EXPECT_EQ(sizes(s), "0x4294967295 0x4294967295");
    s.importPixels(2, 2, Bytes(15));  // needs 2 rows of 8 bytes
    EXPECT_EQ(sizes(s), "0x0 0x0");
    s.importPixels(2048, 1024, Bytes(2048 * 3 * 1024));
    EXPECT_EQ(sizes(s) + std::to_string(s.pixels[0]), "0x0 0x099");
    s.importPixels(1024, 1024, Bytes(1024 * 3 * 1024, 7));  // fills it exactly
    EXPECT_EQ(sizes(s) + std::to_string(s.pixels[0]) + std::to_string(s.pixels.back()), "1024x1024 1024x10247255");
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
    EXPECT_EQ(sizes(s), "2x2 2x2");
}

// Data of 0xFF bytes shows clear black in DXT1 and opaque white in DXT3. An
// unknown code keeps the earlier picture and shows the slot's own size.
TEST(TextureStoreSlots, DecodeOnlyWhatFitsAndIsComplete) {
    const struct {
        std::int32_t code;
        std::uint32_t width, height;
        std::size_t dataBytes;
        SlotFault fault;
        Bytes firstPixel;
    } cases[] = {
        {kFormatDxt1, 4, 4, 8, SlotFault::None, {0, 0, 0, 0}}, {kFormatDxt3, 4, 4, 16, SlotFault::None, {255, 255, 255, 255}},
        {kFormatDxt3, 4, 4, 15, SlotFault::DataTooShort, {}}, {kFormatDxt1, 8, 4, 8, SlotFault::DataTooShort, {}},
        // 1024 x 1021 fits as width x height but its last block row needs 1024 x 1024.
        {kFormatDxt1, 1024, 1021, 1024 * 1024 / 2, SlotFault::None, {0, 0, 0, 0}},
        {kFormatDxt1, 1025, 1024, 2 * 1024 * 1024, SlotFault::TooLarge, {}},
        {kFormatDxt1, 1, 1048577, 8 * 262145, SlotFault::TooLarge, {}},
        {kFormatDxt1, 65536, 65536, 64, SlotFault::TooLarge, {}},  // width * height wraps to 0 in 32 bits
        {kFormatDxt1, 0, 4, 0, SlotFault::None, {}}, {354, 4, 4, 0, SlotFault::NotDxt, {}}, {0, 0, 0, 0, SlotFault::NotDxt, {}},
    };
    TextureStore s(Generation::Legacy);  // 1024 x 1024 pixels
    s.currentSlot = 5;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.code) + " " + std::to_string(c.width) + "x" + std::to_string(c.height));
        s.formatCode[5] = c.code, s.width[5] = c.width, s.height[5] = c.height;
        s.imageData[5] = Bytes(c.dataBytes, 0xFF);
        EXPECT_EQ(slotFault(s, 5), c.fault);
        std::fill(s.pixels.begin(), s.pixels.begin() + 64, 0x33);
        s.decodeSlot();
        EXPECT_EQ(firstBytes(s, 4), c.firstPixel.empty() ? Bytes(4, 0x33) : c.firstPixel);
        const ShownImage shown = shownImage(s);
        const bool refused = c.fault == SlotFault::TooLarge || c.fault == SlotFault::DataTooShort;
        EXPECT_EQ(std::to_string(shown.width) + "x" + std::to_string(shown.height) + (shown.pixels ? "" : "-"),
                  refused ? "0x0-" : std::to_string(c.width) + "x" + std::to_string(c.height));
    }
    EXPECT_EQ(slotFault(s, kTextureSlots), SlotFault::OutOfRange);
    s.currentSlot = 25;
    s.decodeSlot();  // no slot 25: nothing happens
    EXPECT_EQ(shownImage(s).pixels, nullptr);
}

}  // namespace
}  // namespace kelvane
