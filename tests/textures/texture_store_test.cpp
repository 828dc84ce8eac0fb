#include "textures/texture_store.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Slot 0's size, the shown image's size ("-" when it shows no pixels), then the first n bytes of the pixel buffer.
std::string shown(const TextureStore& s, std::size_t n = 0) {
    const ShownImage image = shownImage(s);
    std::string text = std::to_string(s.width[0]) + "x" + std::to_string(s.height[0]) + " " +
                       std::to_string(image.width) + "x" + std::to_string(image.height) + (image.pixels ? "" : "-");
    for (std::size_t i = 0; i < n; ++i) text.append(i ? "," : " ").append(std::to_string(s.pixels[i]));
    return text;
}

TEST(TextureStoreImport, FlipsBottomUpBgrRowsIntoOpaqueRgbaOrRefusesWhatDoesNotFit) {
    TextureStore s(Generation::Legacy);  // 1024 x 1024 pixels
    // Bottom row B1 G1 R1 B2 G2 R2 + 2 padding, then the top row.
    s.importPixels(2, 2, Bytes{11, 12, 13, 21, 22, 23, 0xAA, 0xAA, 31, 32, 33, 41, 42, 43, 0xBB, 0xBB});
    EXPECT_EQ(shown(s, 16), "2x2 2x2 33,32,31,255,43,42,41,255,13,12,11,255,23,22,21,255");
    s.slotCount = 3, s.currentSlot = 2;
    const std::pair<std::uint32_t, std::uint32_t> refused[] = {{7, 0}, {0, 0xFFFFFFFFu}, {2, 2}, {2048, 1024}};
    const std::string expected[] = {"7x0 7x0", "0x4294967295 0x4294967295", "0x0 0x0", "0x0 0x0"};
    for (std::size_t i = 0; i < 4; ++i) {  // no pixels, however many rows; rows short of 8 bytes; too large
        s.importPixels(refused[i].first, refused[i].second, Bytes(i == 2 ? 15 : 3 * refused[i].first * refused[i].second));
        EXPECT_EQ(shown(s, 1), expected[i] + " 33");
        EXPECT_EQ(s.slotCount + s.currentSlot, 0u);
    }
    s.importPixels(1024, 1024, Bytes(1024 * 3 * 1024, 7));  // fills it exactly
    EXPECT_EQ(shown(s, 1) + " " + std::to_string(s.pixels.back()), "1024x1024 1024x1024 7 255");
    // An import clears slot 0's archive code, so a later load that fails leaves no DXT data to decode at its size.
    s.formatCode[0] = kFormatDxt1, s.imageData[0] = Bytes(8, 0xFF);
    s.importPixels(2, 2, Bytes(16, 5));
    s.loadArchive("/no/such/archive.fsh");
    s.decodeSlot();
    EXPECT_EQ(shown(s, 4) + " " + std::to_string(s.formatCode[0]), "2x2 2x2 5,5,5,255 0");
}

// Slots that decode whole are checked byte for byte through kelvane-inspect
// decode (tests/tools). An unknown code keeps the earlier picture and shows
// the slot's own size.
TEST(TextureStoreSlots, DecodeOnlyWhatFitsAndIsComplete) {
    const std::tuple<std::int32_t, std::uint32_t, std::uint32_t, std::size_t, SlotFault, std::string> cases[] = {
        {kFormatDxt3, 8, 4, 16, SlotFault::DataTooShort, "0x0- 51,51,51,51"},  // two blocks of 16 bytes
        // 1024 x 1021 fits as width x height but its last block row needs 1024 x 1024.
        {kFormatDxt1, 1024, 1021, 1024 * 1024 / 2, SlotFault::None, "1024x1021 0,0,0,0"},
        {kFormatDxt1, 3, 349525, 8 * 87382, SlotFault::TooLarge, "0x0- 51,51,51,51"},  // the pixels fit, the blocks do not
        {kFormatDxt1, 65536, 65536, 64, SlotFault::TooLarge, "0x0- 51,51,51,51"},  // width * height wraps in 32 bits
        {kFormatDxt1, 0, 4, 0, SlotFault::None, "0x4 51,51,51,51"}, {354, 4, 4, 0, SlotFault::NotDxt, "4x4 51,51,51,51"},
    };
    TextureStore s(Generation::Legacy);  // 1024 x 1024 pixels
    s.currentSlot = 5;
    for (const auto& [code, width, height, dataBytes, fault, expected] : cases) {
        s.formatCode[5] = code, s.width[5] = width, s.height[5] = height;
        s.imageData[5] = Bytes(dataBytes, 0xFF);
        EXPECT_EQ(slotFault(s, 5), fault) << expected;
        std::fill(s.pixels.begin(), s.pixels.begin() + 64, 0x33);
        s.decodeSlot();
        EXPECT_EQ(shown(s, 4).substr(shown(s).find(' ') + 1), expected);
    }
    EXPECT_EQ(slotFault(s, kTextureSlots), SlotFault::OutOfRange);
    s.currentSlot = 25;
    s.decodeSlot();  // no slot 25: nothing happens
    EXPECT_EQ(shownImage(s).pixels, nullptr);
}

}  // namespace
}  // namespace kelvane
