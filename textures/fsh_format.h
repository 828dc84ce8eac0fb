#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "common/byte_reader.h"

// The layout of an FSH texture archive: a 16-byte header (image count,
// big-endian, at 8), then the directory from offset 16, one entry per image:
// the image record's offset (big-endian u32), 4 bytes not used, and a name of
// 1 to 16 bytes ending at the first 0 byte. Each image record is a 32-byte
// little-endian image header followed by its data. Records may lie anywhere;
// only the directory places them.
namespace kelvane::fsh {

constexpr std::int64_t kHeaderSize = 16;
constexpr std::int64_t kImageCountAt = 8;
constexpr std::int64_t kDirectoryStart = kHeaderSize;
constexpr std::int64_t kEntryHeadSize = 8;  // record offset and 4 bytes not used
constexpr std::int64_t kNameSize = 16;      // the most a name takes, its 0 byte included
constexpr std::int64_t kSmallestEntry = kEntryHeadSize + 1;  // an empty name: its 0 byte alone
constexpr std::int64_t kImageHeaderSize = 32;
constexpr std::int64_t kDataSizeAt = 12;  // in the image header
constexpr std::int64_t kWidthAt = 24;     // in the image header
constexpr std::int64_t kHeightAt = 28;    // in the image header

struct Header {
    std::uint32_t imageCount = 0;  // at 8, big-endian
};

struct DirectoryEntry {
    std::uint32_t recordOffset = 0;  // at 0, big-endian
    std::string name;                // the bytes before the 0 byte, or all 16 without one
    bool terminated = true;          // false: no 0 byte within the 16 name bytes
    std::int64_t next = 0;           // where the following entry begins
};

struct ImageHeader {
    std::int64_t offset = 0;      // where the record lies; its data follows the header
    std::int16_t formatCode = 0;  // at 0, signed
    std::uint32_t dataSize = 0;   // at 12: the data's declared size in bytes
    std::uint32_t width = 0;      // at 24
    std::uint32_t height = 0;     // at 28

    std::int64_t dataStart() const { return offset + kImageHeaderSize; }
};

// Each returns nothing, with the problem recorded in `file`, when the whole
// structure does not lie inside the file.
std::optional<Header> readHeader(ByteReader& file);
// A name running past the end of the file makes the entry missing.
std::optional<DirectoryEntry> readDirectoryEntry(ByteReader& file, std::int64_t offset);
std::optional<ImageHeader> readImageHeader(ByteReader& file, std::int64_t offset);

// The most directory entries the file has room for, each of the smallest size.
std::int64_t directoryRoom(const ByteReader& file);

// The part of the image's declared data that the file holds: never more
// than what lies between the data's start and the end of the file.
std::span<const std::uint8_t> dataInFile(const ByteReader& file, const ImageHeader& image);

}  // namespace kelvane::fsh
