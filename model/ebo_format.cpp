#include "model/ebo_format.h"

#include <string>

namespace kelvane::ebo {

std::optional<Header> readHeader(ByteReader& file) {
    const auto r = file.record<kHeaderSize>(0, "file header");
    if (!r) return std::nullopt;
    Header h;
    h.limit = r->i32le<8>();
    h.firstSection = r->i32le<16>();
    h.nameBase = r->i32le<32>();
    h.sectionCount = r->i16le<36>();
    return h;
}

std::optional<SectionHead> readSectionHead(ByteReader& file, std::int64_t offset) {
    const auto r = file.record<kSectionHeadSize>(offset, "section head");
    if (!r) return std::nullopt;
    SectionHead s;
    s.offset = offset;
    s.descriptorCount = r->i16le<2>();
    s.size = r->i32le<16>();
    return s;
}

std::optional<Descriptor> readDescriptor(ByteReader& file, std::int64_t offset) {
    const auto r = file.record<kDescriptorSize>(offset, "descriptor");
    if (!r) return std::nullopt;
    Descriptor d;
    d.offset = offset;
    d.kind = r->u16le<0>();
    d.target = offset + r->i32le<12>();
    return d;
}

std::optional<ArrayRecord> readArrayRecord(ByteReader& file, std::int64_t offset, const char* field) {
    const auto bytes = file.record<kRecordSize>(offset, field);
    if (!bytes) return std::nullopt;
    ArrayRecord r;
    r.byteSize = bytes->i32le<0>();
    r.stride = bytes->i32le<4>();
    r.dataOffset = bytes->i32le<8>();
    r.entryCount = bytes->i32le<20>();
    r.entryTable = bytes->i32le<24>();
    return r;
}

void markIfNoModel(ByteReader& file, const std::optional<Header>& header) {
    if (!header || !file.contains(header->firstSection, 0)) file.notOfKind("an EBO model");
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
