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
// or not at all: one that ends at the file's end is read (a view of the
// file's bytes where they lie aligned, a copy where not), one that needs a
// byte more fails at its start; an empty one reads nothing, even past the
// end. The first read that leaves the file names its offset and field. (The
// values read, in both byte orders and as arrays of every element type, are
// pinned by the readers' tests.)
TEST(ByteReader, ReadsInsideTheFileArraysWholeOrNotAtAllAndTheFirstFailureNamesTheField) {
    ByteReader r({0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x80, 0xBF, 0, 0, 0, 0xC0, 0, 0, 0xC0, 0xFF});
    EXPECT_TRUE(r.contains(16, 0));
    using Range = std::pair<std::int64_t, std::int64_t>;
    for (auto [offset, length] : {Range{17, 0}, Range{8, INT64_MAX}, Range{INT64_MAX, 1}, Range{-4, 8}})
        EXPECT_FALSE(r.contains(offset, length)) << offset << " " << length;
    EXPECT_TRUE(r.shareArray<std::uint16_t>(99, 0, "index"));
    const auto last = r.shareArray<std::uint16_t>(14, 1, "index");
    const auto odd = r.shareArray<std::uint16_t>(13, 1, "index");
    ASSERT_TRUE(last && odd);
    EXPECT_EQ(std::tuple(last->data() == static_cast<const void*>(&r.bytes()[14]), (*last)[0],
                         odd->data() == static_cast<const void*>(&r.bytes()[13]), (*odd)[0]),
              std::tuple(true, 0xFFC0, false, 0xC000));
    EXPECT_FALSE(r.shareArray<std::uint16_t>(15, 1, "last"));
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
