#include "common/byte_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace kelvane {
namespace {

ByteReader readerOf(std::vector<std::uint8_t> bytes) { return ByteReader(std::move(bytes)); }

TEST(ByteReader, ReadsBothByteOrdersAtAbsoluteOffsets) {
    auto r = readerOf({0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x80, 0xBF});
    EXPECT_EQ(r.u16le(0, "a"), 0x0201);
    EXPECT_EQ(r.u16be(0, "a"), 0x0102);
    EXPECT_EQ(r.u32le(0, "a"), 0x04030201u);
    EXPECT_EQ(r.u32be(0, "a"), 0x01020304u);
    EXPECT_EQ(r.i16le(6, "a"), static_cast<std::int16_t>(0xBF80));
    EXPECT_EQ(r.f32le(4, "a"), -1.0f);
    EXPECT_EQ(r.u8(7, "a"), 0xBF);
    EXPECT_FALSE(r.problem());
}

TEST(ByteReader, ReadsThatLeaveTheFileFailAndNameTheField) {
    auto r = readerOf({1, 2, 3, 4, 5});
    EXPECT_EQ(r.u32le(1, "first"), 0x05040302u);
    EXPECT_FALSE(r.u32le(2, "section head"));
    ASSERT_TRUE(r.problem());
    EXPECT_EQ(r.problem()->offset, 2u);
    EXPECT_EQ(r.problem()->field, "section head");
    EXPECT_NE(r.problem()->describe().find("past the end"), std::string::npos);

    // Only the first problem is kept.
    EXPECT_FALSE(r.u8(-1, "later"));
    EXPECT_EQ(r.problem()->field, "section head");
}

TEST(ByteReader, RangeChecksDoNotOverflow) {
    auto r = readerOf(std::vector<std::uint8_t>(16));
    EXPECT_TRUE(r.contains(16, 0));
    EXPECT_FALSE(r.contains(17, 0));
    EXPECT_FALSE(r.contains(8, INT64_MAX));
    EXPECT_FALSE(r.contains(INT64_MAX, 1));
    EXPECT_FALSE(r.contains(-4, 8));
    EXPECT_FALSE(r.span(4, 13, "data"));
    ASSERT_TRUE(r.span(4, 12, "data"));
    EXPECT_EQ(r.span(4, 12, "data")->size(), 12u);
}

TEST(ByteReader, OpenReportsAMissingFile) {
    std::optional<ReadProblem> problem;
    EXPECT_FALSE(ByteReader::open("/nonexistent/kelvane/file.ebo", &problem));
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->what, "cannot open file");
}

TEST(ByteReader, OpenReadsTheWholeFile) {
    const auto path = std::filesystem::temp_directory_path() / "kelvane_byte_reader_test.bin";
    {
        std::ofstream out(path, std::ios::binary);
        out.write("\x10\x00\x20\x00", 4);
    }
    auto r = ByteReader::open(path, nullptr);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->size(), 4u);
    EXPECT_EQ(r->u16le(2, "x"), 0x20);
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace kelvane
