#include "common/byte_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>

#include "tests/support/temp_dir.h"
#include "writers/file_writer.h"

namespace kelvane {
namespace {

// Range checks that cannot overflow. An array is read whole after one check
// or not at all: one that ends at the file's end is read, one that needs a
// byte more fails at its start and leaves its output as it was; an empty one
// reads nothing, even past the end. The first read that leaves the file
// names its offset and field. (The values read, in both byte orders and as
// arrays of every element type, are pinned by the readers' tests.)
TEST(ByteReader, ReadsInsideTheFileArraysWholeOrNotAtAllAndTheFirstFailureNamesTheField) {
    ByteReader r({0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x80, 0xBF, 0, 0, 0, 0xC0, 0, 0, 0xC0, 0xFF});
    EXPECT_TRUE(r.contains(16, 0));
    using Range = std::pair<std::int64_t, std::int64_t>;
    for (auto [offset, length] : {Range{17, 0}, Range{8, INT64_MAX}, Range{INT64_MAX, 1}, Range{-4, 8}})
        EXPECT_FALSE(r.contains(offset, length)) << offset << " " << length;
    std::array<std::uint16_t, 1> last{7};
    EXPECT_TRUE(r.readArray(99, std::span<std::uint16_t>(), "index"));
    EXPECT_TRUE(r.readArray(14, std::span<std::uint16_t>(last), "index"));
    EXPECT_FALSE(r.readArray(15, std::span<std::uint16_t>(last), "last"));
    EXPECT_EQ(last[0], 0xFFC0);
    EXPECT_FALSE(r.span(4, 13, "data") || r.u8(-1, "later"));
    EXPECT_EQ(std::tuple(r.problem().value_or(ReadProblem{}).offset, r.problem().value_or(ReadProblem{}).field),
              std::tuple(15u, std::string("last")));
}

// A file of several megabytes reads whole into memory of its own; a folder,
// a missing file and (unless root) an unreadable one say why they cannot open.
TEST(ByteReader, OpensLargeFilesWholeAndSaysWhyOthersCannotOpen) {
    test::TempDir dir;
    std::vector<std::uint8_t> bytes((5u << 20) + 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
    writers::writeFile(dir / "large.bin", bytes);
    const auto large = ByteReader::open(dir / "large.bin");
    ASSERT_TRUE(large);
    EXPECT_TRUE(std::ranges::equal(large->bytes(), bytes));
    writers::writeFile(dir / "locked.ebo", {1});
    std::filesystem::permissions(dir / "locked.ebo", std::filesystem::perms::none);
    const bool root = std::ifstream(dir / "locked.ebo").is_open();
    for (const auto& [path, why] : {std::pair{dir.path, "it is a folder"}, {dir / "missing.ebo", "no such file"},
                                    {dir / "locked.ebo", root ? nullptr : "permission denied"}}) {
        const auto file = ByteReader::open(path);
        EXPECT_EQ(file ? "" : file.problem().what, why ? std::string("cannot open file: ") + why : "");
    }
}

}  // namespace
}  // namespace kelvane
