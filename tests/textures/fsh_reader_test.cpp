#include <gtest/gtest.h>

#include <vector>

#include "tests/support/temp_dir.h"
#include "textures/texture_store.h"
#include "writers/file_writer.h"
#include "writers/fsh_writer.h"

namespace kelvane {
namespace {

using Bytes = std::vector<std::uint8_t>;
using writers::buildFsh;
using writers::FshImage;
using Problem = std::optional<ReadProblem>;

// A DXT1 (352) or DXT3 (353) image with exactly the data its size needs.
FshImage dxt(std::string name, std::uint16_t code = 352, std::uint32_t w = 4, std::uint32_t h = 4,
             std::uint8_t fill = 0x11) {
    return {std::move(name), code, w, h, Bytes((w + 3) / 4 * ((h + 3) / 4) * (code == 353 ? 16 : 8), fill), {}, {}};
}
std::string where(const Problem& p) { return p ? p->field + " @" + std::to_string(p->offset) : "(none)"; }
std::string field(const Problem& p) { return p ? p->field : "(none)"; }
// Slot i as "'name' code WxH, N data bytes", plus " checked" when checked.
std::string slot(const TextureStore& s, int i) {
    return "'" + s.name[i] + "' " + std::to_string(s.formatCode[i]) + " " + std::to_string(s.width[i]) + "x" +
           std::to_string(s.height[i]) + ", " + std::to_string(s.imageData[i].size()) +
           (s.checked[i] ? " checked" : "");
}

class FshReader : public ::testing::Test {
protected:
    Problem load(TextureStore& s, const Bytes& bytes) {
        writers::writeFile(dir / "archive.fsh", bytes);
        Problem problem;
        s.loadArchive(dir / "archive.fsh", &problem);
        return problem;
    }
    Problem load(TextureStore& s, std::vector<FshImage> images) { return load(s, buildFsh({std::move(images), {}})); }
    test::TempDir dir;
    TextureStore current{Generation::Current};
    TextureStore legacy{Generation::Legacy};
};

// Entries are 8 bytes plus the name; records may lie anywhere after the directory.
TEST_F(FshReader, ReadsImagesInDirectoryOrderWithTheBlankAfterThemInTheCurrentGenerationOnly) {
    std::vector<FshImage> images{dxt("face", 353, 8, 8, 1), dxt("eyes_and_brows_", 352, 4, 4, 2),
                                 dxt("h", 352, 12, 4, 3)};
    images[0].recordOffset = 4000, images[1].recordOffset = 200, images[2].recordOffset = 100;
    for (TextureStore* s : {&current, &legacy}) {
        s->width[3] = 9, s->formatCode[3] = 352;
        EXPECT_FALSE(load(*s, images));
        EXPECT_EQ(s->slotCount, 3u);
        EXPECT_EQ(s->currentSlot, 0u);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(s->imageData[i], images[i].data);
        EXPECT_EQ(slot(*s, 0) + "; " + slot(*s, 1) + "; " + slot(*s, 2),
                  "'face' 353 8x8, 64 checked; 'eyes_and_brows_' 352 4x4, 8; 'h' 352 12x4, 24");
    }
    EXPECT_EQ(slot(current, 3), "'' 0 0x0, 0");
    EXPECT_EQ(slot(legacy, 3), "'' 352 9x0, 0");  // no blank slot: slot 3 keeps what it had
}

TEST_F(FshReader, UnknownCodesAreSignExtendedAndKeepTheirSizeButNoData) {
    load(current, {{"pal8", 0x007B, 16, 16, Bytes(256, 9), {}, {}}, dxt("skin", 353, 4, 4, 6)});
    EXPECT_EQ(slot(current, 0) + "; " + slot(current, 1), "'pal8' 123 16x16, 0; 'skin' 353 4x4, 16 checked");
    load(current, {{"neg", 0xFFFE, 4, 4, {}, {}, {}}});
    EXPECT_EQ(current.formatCode[0], -2);
}

TEST_F(FshReader, DataIsExactlyTheDeclaredSizeAndWhatTheFileHolds) {
    FshImage empty = dxt("e"), shorter = dxt("s", 352, 4, 4, 3), big = dxt("big", 352, 64, 64);
    empty.dataSize = 0;
    shorter.data.resize(12, 4), shorter.dataSize = 8;
    load(current, {empty, shorter});
    EXPECT_TRUE(current.imageData[0].empty());
    EXPECT_EQ(current.imageData[1], Bytes(8, 3));
    big.dataSize = 0x7FFFFFFF;
    EXPECT_EQ(where(load(current, {big})), "data size @40");
    EXPECT_EQ(current.imageData[0].size(), 64u * 64 / 2);
    EXPECT_EQ(slotFault(current, 0), SlotFault::None);
}

// Decoding refuses such slots (see the store's tests); the load reports them.
TEST_F(FshReader, ShortOrTooLargeImagesAreReported) {
    FshImage cut = dxt("cut", 353, 8, 8);
    cut.data.resize(40);
    EXPECT_NE(load(current, {cut}).value_or(ReadProblem{}).what.find("needs 64"), std::string::npos);
    EXPECT_EQ(slotFault(current, 0), SlotFault::DataTooShort);
    // 2048 x 2048 fits the current buffer but not the legacy one.
    const FshImage large = dxt("large", 352, 2048, 2048, 0);
    EXPECT_FALSE(load(current, {large}));
    EXPECT_EQ(slotFault(current, 0), SlotFault::None);
    EXPECT_EQ(field(load(legacy, {large})), "width");
    EXPECT_EQ(slotFault(legacy, 0), SlotFault::TooLarge);
}

TEST_F(FshReader, NoImagesClearsTheCurrentSlotZeroOnly) {
    for (TextureStore* s : {&current, &legacy}) {
        s->width[0] = 5, s->formatCode[0] = 352, s->slotCount = 2, s->currentSlot = 1;
        EXPECT_FALSE(load(*s, buildFsh({})));
        EXPECT_EQ(s->slotCount + s->currentSlot, 0u);
    }
    EXPECT_EQ(slot(current, 0), "'' 0 0x0, 0");
    EXPECT_EQ(slot(legacy, 0), "'' 352 5x0, 0");
}

// A missing file, or one shorter than the header, changes only the counters.
TEST_F(FshReader, UnreadableFilesChangeOnlyTheCounters) {
    current.slotCount = 3, current.currentSlot = 2, current.width[0] = 64;
    Problem missing;
    current.loadArchive(dir / "missing.fsh", &missing);
    EXPECT_EQ(current.slotCount + current.currentSlot, 0u);
    EXPECT_EQ(missing.value_or(ReadProblem{}).what, "cannot open file: no such file");
    current.slotCount = 1;
    EXPECT_EQ(field(load(current, Bytes(10, 0))), "header");
    EXPECT_EQ(current.slotCount, 0u);
    EXPECT_EQ(current.width[0], 64u);
}

TEST_F(FshReader, KeepsOnlyTheImagesTheStoreHolds) {
    std::vector<FshImage> images;
    for (std::uint8_t i = 0; i < 25; ++i) images.push_back(dxt(std::string(1, 'n') + std::to_string(i), 352, 4, 4, i));
    EXPECT_EQ(where(load(current, images)), "image count @8");
    EXPECT_EQ(current.slotCount, 19u);
    EXPECT_EQ(slot(current, 18) + "; " + slot(current, 19), "'n18' 352 4x4, 8; '' 0 0x0, 0");
    EXPECT_TRUE(load(legacy, images));
    EXPECT_EQ(legacy.slotCount, 20u);
    EXPECT_EQ(legacy.imageData[19], Bytes(8, 19));
    // A huge declared count neither hangs nor reads past the file: the bytes
    // after the directory read as further entries.
    EXPECT_EQ(field(load(current, buildFsh({{dxt("one")}, 0xFFFFFFFFu}))), "image count");
    EXPECT_GE(current.slotCount, 1u);
    EXPECT_LE(current.slotCount, 19u);
    EXPECT_EQ(current.name[0], "one");
    EXPECT_EQ(current.formatCode[current.slotCount], 0);
}

TEST_F(FshReader, DamagedDirectoriesKeepWhatCanBeRead) {
    // Cut inside the second entry's name: one named slot, whose record lay past the cut.
    Bytes bytes = buildFsh({{dxt("first"), dxt("second")}, {}});
    bytes.resize(16 + 14 + 8 + 3);
    EXPECT_EQ(field(load(current, bytes)), "image record");
    EXPECT_EQ(current.slotCount, 1u);
    EXPECT_EQ(slot(current, 0) + "; " + slot(current, 1), "'first' 0 0x0, 0; '' 0 0x0, 0");
    // A 16-byte name is cut to 15 characters; the next entry starts after it.
    EXPECT_EQ(where(load(current, {dxt("sixteen_chars_16"), dxt("after")})), "name @24");
    EXPECT_EQ(current.slotCount, 2u);
    EXPECT_EQ(current.name[0] + " " + current.name[1], "sixteen_chars_1 after");
    // A record offset outside the file leaves that slot named but empty.
    bytes = buildFsh({{dxt("lost"), dxt("kept", 353)}, {}});
    bytes[16] = 0xFF, bytes[17] = 0xFF, bytes[18] = 0xFF, bytes[19] = 0xF0;
    EXPECT_EQ(where(load(current, bytes)), "image record @" + std::to_string(0xFFFFFFF0u));
    EXPECT_EQ(current.slotCount, 2u);
    EXPECT_EQ(slot(current, 0) + "; " + slot(current, 1), "'lost' 0 0x0, 0; 'kept' 353 4x4, 16 checked");
}

}  // namespace
}  // namespace kelvane
