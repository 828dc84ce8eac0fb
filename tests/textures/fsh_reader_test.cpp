#include <gtest/gtest.h>

#include <vector>

#include "tests/builders/fsh_builder.h"
#include "tests/textures/temp_dir.h"
#include "textures/texture_store.h"

namespace kelvane {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::buildFsh;
using test::FshArchive;
using test::FshImage;

FshImage dxt1(std::string name, std::uint32_t w = 4, std::uint32_t h = 4, std::uint8_t fill = 0x11) {
    return {std::move(name), 352, w, h, Bytes(((w + 3) / 4) * ((h + 3) / 4) * 8, fill), {}, {}};
}
FshImage dxt3(std::string name, std::uint32_t w = 4, std::uint32_t h = 4, std::uint8_t fill = 0x22) {
    return {std::move(name), 353, w, h, Bytes(((w + 3) / 4) * ((h + 3) / 4) * 16, fill), {}, {}};
}

class FshReader : public ::testing::Test {
protected:
    // Writes the bytes and loads them; returns the first problem reported.
    std::optional<ReadProblem> load(TextureStore& s, const Bytes& bytes) {
        const auto path = dir / "archive.fsh";
        test::writeFile(path, bytes);
        std::optional<ReadProblem> problem;
        s.loadArchive(path, &problem);
        return problem;
    }
    test::TempDir dir;
    TextureStore current{Generation::Current};
    TextureStore legacy{Generation::Legacy};
};

TEST_F(FshReader, ReadsThreeImagesInDirectoryOrderWithTheBlankAfterThem) {
    for (TextureStore* s : {&current, &legacy}) {
        s->width[3] = 9;
        s->formatCode[3] = 352;
        const FshArchive a{{dxt1("face", 8, 8, 1), dxt1("eyes", 4, 4, 2), dxt1("hair", 12, 4, 3)}, {}};
        EXPECT_FALSE(load(*s, buildFsh(a)));
        EXPECT_EQ(s->slotCount, 3u);
        EXPECT_EQ(s->currentSlot, 0u);
        const char* names[] = {"face", "eyes", "hair"};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(s->name[i], names[i]);
            EXPECT_EQ(s->formatCode[i], 352);
            EXPECT_EQ(s->width[i], a.images[i].width);
            EXPECT_EQ(s->height[i], a.images[i].height);
            EXPECT_EQ(s->imageData[i], a.images[i].data);
            EXPECT_EQ(s->checked[i], i == 0 ? 1u : 0u);
        }
    }
    EXPECT_EQ(current.width[3], 0u);
    EXPECT_EQ(current.formatCode[3], 0);
    // No blank slot in the legacy generation: slot 3 keeps what it had.
    EXPECT_EQ(legacy.width[3], 9u);
    EXPECT_EQ(legacy.formatCode[3], 352);
}

TEST_F(FshReader, UnknownCodesKeepTheirSizeButNoDataAndAreNotChecked) {
    FshImage odd{"pal8", 0x007B, 16, 16, Bytes(256, 9), {}, {}};
    const FshArchive a{{odd, dxt3("skin")}, {}};
    load(current, buildFsh(a));
    EXPECT_EQ(current.formatCode[0], 0x7B);
    EXPECT_EQ(current.width[0], 16u);
    EXPECT_TRUE(current.imageData[0].empty());
    EXPECT_EQ(current.checked[0], 0u);
    EXPECT_EQ(current.checked[1], 1u);
    EXPECT_EQ(current.imageData[1], a.images[1].data);
    // Codes are sign-extended 16-bit values.
    FshImage negative{"neg", 0xFFFE, 4, 4, {}, {}, {}};
    load(current, buildFsh({{negative}, {}}));
    EXPECT_EQ(current.formatCode[0], -2);
}

TEST_F(FshReader, EntriesFollowEachNameAndRecordsLieAnywhere) {
    FshImage far = dxt1("abc", 4, 4, 5);
    far.recordOffset = 4000;
    FshImage near = dxt3("fifteen_chars__", 4, 4, 6);
    near.recordOffset = 200;
    FshImage last = dxt1("z", 4, 4, 7);
    last.recordOffset = 100;
    const FshArchive a{{far, near, last}, {}};
    const Bytes bytes = buildFsh(a);
    // "abc" makes a 12-byte entry, the 15-character name a 24-byte one.
    EXPECT_EQ(bytes[16 + 12 + 3], 200);
    EXPECT_EQ(bytes[16 + 12 + 24 + 3], 100);
    EXPECT_FALSE(load(legacy, bytes));
    EXPECT_EQ(legacy.name[0], "abc");
    EXPECT_EQ(legacy.name[1], "fifteen_chars__");
    EXPECT_EQ(legacy.name[2], "z");
    EXPECT_EQ(legacy.imageData[0], Bytes(8, 5));
    EXPECT_EQ(legacy.imageData[1], Bytes(16, 6));
    EXPECT_EQ(legacy.imageData[2], Bytes(8, 7));
}

TEST_F(FshReader, DataIsExactlyTheDeclaredSize) {
    FshImage empty = dxt1("e");
    empty.dataSize = 0;
    FshImage shorter = dxt1("s", 4, 4, 3);
    shorter.data.resize(12, 4);
    shorter.dataSize = 8;
    load(current, buildFsh({{empty, shorter}, {}}));
    EXPECT_TRUE(current.imageData[0].empty());
    EXPECT_EQ(current.imageData[1], Bytes(8, 3));
}

TEST_F(FshReader, NoImagesClearsTheCurrentSlotZeroOnly) {
    for (TextureStore* s : {&current, &legacy}) {
        s->width[0] = 5;
        s->formatCode[0] = 352;
        s->slotCount = 2;
        s->currentSlot = 1;
        EXPECT_FALSE(load(*s, buildFsh({})));
        EXPECT_EQ(s->slotCount, 0u);
        EXPECT_EQ(s->currentSlot, 0u);
    }
    EXPECT_EQ(current.width[0], 0u);
    EXPECT_EQ(current.formatCode[0], 0);
    EXPECT_EQ(legacy.width[0], 5u);
    EXPECT_EQ(legacy.formatCode[0], 352);
}

TEST_F(FshReader, AFileThatCannotBeOpenedChangesOnlyTheCounters) {
    current.slotCount = 3;
    current.currentSlot = 2;
    current.width[0] = 64;
    std::optional<ReadProblem> problem;
    current.loadArchive(dir / "missing.fsh", &problem);
    EXPECT_EQ(current.slotCount, 0u);
    EXPECT_EQ(current.currentSlot, 0u);
    EXPECT_EQ(current.width[0], 64u);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->what, "cannot open file");
}

TEST_F(FshReader, KeepsOnlyTheImagesTheStoreHolds) {
    FshArchive a;
    for (int i = 0; i < 25; ++i) a.images.push_back(dxt1(std::to_string(i).insert(0, "n"), 4, 4, static_cast<std::uint8_t>(i)));
    auto problem = load(current, buildFsh(a));
    EXPECT_EQ(current.slotCount, 19u);
    EXPECT_EQ(current.name[18], "n18");
    EXPECT_EQ(current.formatCode[19], 0);  // the blank slot
    EXPECT_EQ(current.width[19], 0u);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->offset, 8u);
    EXPECT_EQ(problem->field, "image count");

    EXPECT_TRUE(load(legacy, buildFsh(a)));
    EXPECT_EQ(legacy.slotCount, 20u);
    EXPECT_EQ(legacy.imageData[19], Bytes(8, 19));

    // A huge declared count neither hangs nor reads past the directory.
    FshArchive huge{{dxt1("one")}, 0xFFFFFFFFu};
    problem = load(current, buildFsh(huge));
    EXPECT_GE(current.slotCount, 1u);  // the bytes after the directory read as further entries
    EXPECT_LE(current.slotCount, 19u);
    EXPECT_EQ(current.name[0], "one");
    EXPECT_EQ(current.formatCode[current.slotCount], 0);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "image count");
}

TEST_F(FshReader, LongNamesAreCutToFifteenCharacters) {
    const FshArchive a{{dxt1("sixteen_chars_16"), dxt1("after")}, {}};
    auto problem = load(current, buildFsh(a));
    EXPECT_EQ(current.name[0], "sixteen_chars_1");
    EXPECT_EQ(current.name[1], "after");  // the next entry starts after 16 name bytes
    EXPECT_EQ(current.slotCount, 2u);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "name");
    EXPECT_EQ(problem->offset, 24u);
}

TEST_F(FshReader, TruncatedDirectoryEndsTheArchiveAtTheLastWholeEntry) {
    const FshArchive a{{dxt1("first"), dxt1("second")}, {}};
    Bytes bytes = buildFsh(a);
    // Cut inside the second entry's name (the first entry is 8 + 6 bytes).
    bytes.resize(16 + 14 + 8 + 3);
    const auto problem = load(current, bytes);
    EXPECT_EQ(current.slotCount, 1u);
    EXPECT_EQ(current.name[0], "first");
    EXPECT_EQ(current.width[1], 0u);  // blank after the last whole entry
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "image record");  // the first record lay past the cut
    EXPECT_EQ(current.width[0], 0u);
    EXPECT_EQ(current.formatCode[0], 0);

    // Shorter than the header: treated like a file that cannot be read.
    current.width[0] = 12;
    const auto tiny = load(current, Bytes(10, 0));
    EXPECT_EQ(current.slotCount, 0u);
    EXPECT_EQ(current.width[0], 12u);
    ASSERT_TRUE(tiny);
    EXPECT_EQ(tiny->field, "header");
}

TEST_F(FshReader, RecordsOutsideTheFileLeaveANamedEmptySlot) {
    // The builder cannot place a record there; build, then patch the offset.
    FshImage placed = dxt1("lost");
    const FshArchive a{{placed, dxt3("kept")}, {}};
    Bytes bytes = buildFsh(a);
    bytes[16] = 0xFF, bytes[17] = 0xFF, bytes[18] = 0xFF, bytes[19] = 0xF0;
    const auto problem = load(current, bytes);
    EXPECT_EQ(current.slotCount, 2u);
    EXPECT_EQ(current.name[0], "lost");
    EXPECT_EQ(current.width[0], 0u);
    EXPECT_EQ(current.formatCode[0], 0);
    EXPECT_TRUE(current.imageData[0].empty());
    EXPECT_EQ(current.formatCode[1], 353);
    EXPECT_EQ(current.checked[1], 1u);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->offset, 0xFFFFFFF0u);
    EXPECT_EQ(problem->field, "image record");
}

TEST_F(FshReader, DataRunningPastTheEndIsCutAndNeverDecoded) {
    FshImage big = dxt1("big", 64, 64);
    big.dataSize = 0x7FFFFFFF;  // far more than the file holds
    auto problem = load(current, buildFsh({{big}, {}}));
    EXPECT_EQ(current.imageData[0].size(), 64u * 64 / 2);  // only what the file holds
    EXPECT_EQ(slotFault(current, 0), SlotFault::None);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "data size");
    EXPECT_EQ(problem->offset, 16u + 12 + 12);

    FshImage cut = dxt3("cut", 8, 8);
    cut.data.resize(40);
    problem = load(current, buildFsh({{cut}, {}}));
    EXPECT_EQ(slotFault(current, 0), SlotFault::DataTooShort);
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->what.find("needs 64"), std::string::npos) << problem->what;
    current.pixels[0] = 0x5A;
    current.decodeSlot();
    EXPECT_EQ(current.pixels[0], 0x5A);
    EXPECT_EQ(shownImage(current).width, 0u);
}

TEST_F(FshReader, ImagesTooLargeForTheBufferAreReportedAndRefused) {
    // 2048 x 2048 fits the current buffer but not the legacy one.
    FshImage large = dxt1("large", 2048, 2048, 0);
    EXPECT_FALSE(load(current, buildFsh({{large}, {}})));
    EXPECT_EQ(slotFault(current, 0), SlotFault::None);
    const auto problem = load(legacy, buildFsh({{large}, {}}));
    EXPECT_EQ(slotFault(legacy, 0), SlotFault::TooLarge);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "width");
    EXPECT_EQ(shownImage(legacy).width, 0u);
}

}  // namespace
}  // namespace kelvane
