#include "common/byte_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>

#include "writers/file_writer.h"
#include "tests/support/temp_dir.h"

namespace kelvane {
namespace {

TEST(ByteReader, ReadsBothByteOrdersAtAbsoluteOffsets) {
    ByteReader r({0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x80, 0xBF});
    EXPECT_EQ(r.u16le(0, "a"), 0x0201);
    EXPECT_EQ(r.u16be(0, "a"), 0x0102);
    EXPECT_EQ(r.u32le(0, "a"), 0x04030201u);
    EXPECT_EQ(r.u32be(0, "a"), 0x01020304u);
    EXPECT_EQ(r.i16le(6, "a"), static_cast<std::int16_t>(0xBF80));
    EXPECT_EQ(r.f32le(4, "a"), -1.0f);
    EXPECT_EQ(r.u8(7, "a"), 0xBF);
    EXPECT_FALSE(r.problem());
}

TEST(ByteReader, ReadsThatLeaveTheFileFailAndTheFirstNamesTheField) {
    ByteReader r({1, 2, 3, 4, 5});
    EXPECT_EQ(r.u32le(1, "first"), 0x05040302u);
    EXPECT_FALSE(r.u32le(2, "section head"));
    EXPECT_FALSE(r.u8(-1, "later"));
    ASSERT_TRUE(r.problem());
    EXPECT_EQ(r.problem()->offset, 2u);
    EXPECT_EQ(r.problem()->field, "section head");
    EXPECT_NE(r.problem()->describe().find("past the end"), std::string::npos);
}

TEST(ByteReader, RangeChecksDoNotOverflow) {
    ByteReader r(std::vector<std::uint8_t>(16));
    EXPECT_TRUE(r.contains(16, 0));
    EXPECT_FALSE(r.contains(17, 0));
    EXPECT_FALSE(r.contains(8, INT64_MAX));
    EXPECT_FALSE(r.contains(INT64_MAX, 1));
    EXPECT_FALSE(r.contains(-4, 8));
    EXPECT_FALSE(r.span(4, 13, "data"));
    ASSERT_TRUE(r.span(4, 12, "data"));
    EXPECT_EQ(r.span(4, 12, "data")->size(), 12u);
}

// An array is read whole after one check or not at all: one that ends at the
// file's end is read, one that needs a byte more fails at its start and
// leaves its output as it was; an empty one reads nothing, even past the end.
TEST(ByteReader, ArraysAreReadWholeOrNotAtAll) {
    ByteReader r({0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0xC0, 0xFF});
    struct Pair {
        float a, b;
    };
    std::array<Pair, 1> pair{};
    ASSERT_TRUE(r.readArray(4, std::span<Pair>(pair), "pair"));
    EXPECT_EQ(pair[0].a, 1.0f);
    EXPECT_EQ(pair[0].b, -2.0f);
    std::array<std::uint16_t, 2> shorts{};
    ASSERT_TRUE(r.readArray(0, std::span<std::uint16_t>(shorts), "index"));
    EXPECT_EQ(shorts, (std::array<std::uint16_t, 2>{1, 2}));
    EXPECT_TRUE(r.readArray(99, std::span<std::uint16_t>(), "index"));
    EXPECT_FALSE(r.problem());

    std::array<std::uint16_t, 1> last{7};
    EXPECT_TRUE(r.readArray(11, std::span<std::uint16_t>(last), "index"));
    EXPECT_EQ(last[0], 0xFFC0);
    EXPECT_FALSE(r.readArray(12, std::span<std::uint16_t>(last), "index"));
    EXPECT_EQ(last[0], 0xFFC0);
    ASSERT_TRUE(r.problem());
    EXPECT_EQ(r.problem()->offset, 12u);
    EXPECT_EQ(r.problem()->field, "index");
}

// A file of several megabytes, read in one go into memory of its own, reads
// back byte for byte and no further.
TEST(ByteReader, OpensLargeFilesWhole) {
    test::TempDir dir;
    std::vector<std::uint8_t> bytes((5u << 20) + 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
    std::ofstream(dir / "large.bin", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    auto r = ByteReader::open(dir / "large.bin", nullptr);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->size(), bytes.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), r->bytes().begin()));
    EXPECT_FALSE(r->u8(static_cast<std::int64_t>(bytes.size()), "end"));
}

// A folder (which Linux lets a stream open), a missing file and an
// unreadable one are files that cannot be opened, each saying why.
TEST(ByteReader, FilesThatCannotBeOpenedSayWhy) {
    test::TempDir dir;
    writers::writeFile(dir / "locked.ebo", {1});
    std::filesystem::permissions(dir / "locked.ebo", std::filesystem::perms::none);
    const bool root = std::ifstream(dir / "locked.ebo").is_open();  // root reads it anyway
    const std::pair<std::filesystem::path, const char*> cases[] = {
        {dir.path, "cannot open file: it is a folder"},
        {dir / "missing.ebo", "cannot open file: no such file"},
        {dir / "locked.ebo", root ? nullptr : "cannot open file: permission denied"}};
    for (const auto& [path, why] : cases) {
        if (!why) continue;
        std::optional<ReadProblem> problem;
        EXPECT_FALSE(ByteReader::open(path, &problem));
        EXPECT_EQ(problem.value_or(ReadProblem{}).what, why);
    }
}

}  // namespace
}  // namespace kelvane
