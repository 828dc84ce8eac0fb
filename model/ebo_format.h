#pragma once

#include <cstdint>
#include <optional>

#include "common/byte_reader.h"

// The outer frame that EBO files of both generations share: a 48-byte
// header, sections laid one after another (a 20-byte head followed by
// 16-byte descriptors), and 28-byte array records. All integers are
// little-endian and signed unless noted; offsets are absolute unless noted.
namespace kelvane::ebo {

constexpr std::int64_t kHeaderSize = 48;
constexpr std::int64_t kSectionHeadSize = 20;
constexpr std::int64_t kDescriptorSize = 16;
constexpr std::int64_t kRecordSize = 28;
constexpr std::int64_t kEntrySize = 48;

struct Header {
    std::int32_t limit = 0;         // at 8: the object entry table may not start beyond this
    std::int32_t firstSection = 0;  // at 16
    std::int32_t nameBase = 0;      // at 32: every name offset is added to this
    std::int16_t sectionCount = 0;  // at 36
};

struct SectionHead {
    std::int64_t offset = 0;           // where the head lies; descriptors follow it
    std::int16_t descriptorCount = 0;  // at 2
    std::int32_t size = 0;             // at 16: the whole section, head included

    std::int64_t descriptorsStart() const { return offset + kSectionHeadSize; }
    std::int64_t end() const { return offset + size; }
};

struct Descriptor {
    std::int64_t offset = 0;  // where the descriptor lies
    std::uint16_t kind = 0;   // at 0, unsigned: 0 leads to an array record
    std::int64_t target = 0;  // descriptor offset plus the relative offset at 12
};

struct ArrayRecord {
    std::int32_t byteSize = 0;    // at 0
    std::int32_t stride = 0;      // at 4
    std::int32_t dataOffset = 0;  // at 8
    std::int32_t entryCount = 0;  // at 20 (object table record only)
    std::int32_t entryTable = 0;  // at 24 (object table record only)
};

// Each returns nothing, with the problem recorded in `file`, when the whole
// structure does not lie inside the file.
std::optional<Header> readHeader(ByteReader& file);
std::optional<SectionHead> readSectionHead(ByteReader& file, std::int64_t offset);
std::optional<Descriptor> readDescriptor(ByteReader& file, std::int64_t offset);
std::optional<ArrayRecord> readArrayRecord(ByteReader& file, std::int64_t offset, const char* field);

// Marks the problem recorded in `file` as showing that the file is no EBO
// model at all when it plainly is none: too short for the header (`header`
// is nothing), or with a first section that does not even start inside the
// file. The readers check no magic number, so the header's own offset is
// the sign: a model cut short keeps its header and the start of its first
// section, which follows the header, and its problem keeps its words.
void markIfNoModel(ByteReader& file, const std::optional<Header>& header);

// Walks the header's sections from the first and returns the head of the
// last one, whose descriptors list the model's arrays. Nothing when there is
// no section or a head lies outside the file.
std::optional<SectionHead> walkSections(ByteReader& file, const Header& header);

}  // namespace kelvane::ebo
