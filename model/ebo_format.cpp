#include "model/ebo_format.h"

#include <string>

namespace kelvane::ebo {

std::optional<Header> readHeader(ByteReader& file) {
    if (!file.span(0, kHeaderSize, "file header")) return std::nullopt;
    Header h;
    h.limit = *file.i32le(8, "header limit");
    h.firstSection = *file.i32le(16, "first section offset");
    h.nameBase = *file.i32le(32, "name base");
    h.sectionCount = *file.i16le(36, "section count");
    return h;
}

std::optional<SectionHead> readSectionHead(ByteReader& file, std::int64_t offset) {
    if (!file.span(offset, kSectionHeadSize, "section head")) return std::nullopt;
    SectionHead s;
    s.offset = offset;
    s.descriptorCount = *file.i16le(offset + 2, "descriptor count");
    s.size = *file.i32le(offset + 16, "section size");
    return s;
}

std::optional<Descriptor> readDescriptor(ByteReader& file, std::int64_t offset) {
    if (!file.span(offset, kDescriptorSize, "descriptor")) return std::nullopt;
    Descriptor d;
    d.offset = offset;
    d.kind = *file.u16le(offset, "descriptor kind");
    d.target = offset + *file.i32le(offset + 12, "descriptor record offset");
    return d;
}

std::optional<ArrayRecord> readArrayRecord(ByteReader& file, std::int64_t offset, const char* field) {
    if (!file.span(offset, kRecordSize, field)) return std::nullopt;
    ArrayRecord r;
    r.byteSize = *file.i32le(offset, "array byte size");
    r.stride = *file.i32le(offset + 4, "array stride");
    r.dataOffset = *file.i32le(offset + 8, "array data offset");
    r.entryCount = *file.i32le(offset + 20, "object entry count");
    r.entryTable = *file.i32le(offset + 24, "object entry table offset");
    return r;
}

std::optional<SectionHead> walkSections(ByteReader& file, const Header& header) {
    if (header.sectionCount <= 0) {
        file.fail(36, "section count", "no sections (count " + std::to_string(header.sectionCount) + ")");
        return std::nullopt;
    }
    // The count is 16 bits, so even a section of size 0 that repeats itself
    // ends the walk quickly.
    std::int64_t offset = header.firstSection;
    std::optional<SectionHead> head;
    for (int i = 0; i < header.sectionCount; ++i) {
        head = readSectionHead(file, offset);
        if (!head) return std::nullopt;
        if (i + 1 < header.sectionCount) offset = head->end();
    }
    return head;
}

}  // namespace kelvane::ebo
