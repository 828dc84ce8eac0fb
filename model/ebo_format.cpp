#include "model/ebo_format.h"

#include <string>

namespace kelvane::ebo {

std::optional<Header> readHeader(ByteReader& file) {
    return file.recordAs<kHeaderSize>(0, "file header", [](const Record<kHeaderSize>& r) {
        return Header{r.i32le<8>(), r.i32le<16>(), r.i32le<32>(), r.i16le<36>()};
    });
}

std::optional<SectionHead> readSectionHead(ByteReader& file, std::int64_t offset) {
    return file.recordAs<kSectionHeadSize>(offset, "section head", [offset](const Record<kSectionHeadSize>& r) {
        return SectionHead{offset, r.i16le<2>(), r.i32le<16>()};
    });
}

std::optional<Descriptor> readDescriptor(ByteReader& file, std::int64_t offset) {
    return file.recordAs<kDescriptorSize>(offset, "descriptor", [offset](const Record<kDescriptorSize>& r) {
        return Descriptor{offset, r.u16le<0>(), offset + r.i32le<12>()};
    });
}

std::optional<ArrayRecord> readArrayRecord(ByteReader& file, std::int64_t offset, const char* field) {
    return file.recordAs<kRecordSize>(offset, field, [](const Record<kRecordSize>& r) {
        return ArrayRecord{r.i32le<0>(), r.i32le<4>(), r.i32le<8>(), r.i32le<20>(), r.i32le<24>()};
    });
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
