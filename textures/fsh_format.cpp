#include "textures/fsh_format.h"

#include <algorithm>

namespace kelvane::fsh {

std::optional<Header> readHeader(ByteReader& file) {
    if (!file.contains(0, kHeaderSize)) {
        file.fail(0, "header", "file is shorter than the 16-byte header");
        return std::nullopt;
    }
    const Record<kHeaderSize> r(file.bytes().first<kHeaderSize>());
    return Header{r.u32be<kImageCountAt>()};
}

std::optional<DirectoryEntry> readDirectoryEntry(ByteReader& file, std::int64_t offset) {
    const auto recordOffset = file.u32be(offset, "image record offset");
    if (!recordOffset) return std::nullopt;
    DirectoryEntry entry;
    entry.recordOffset = *recordOffset;

    // The name bytes the file holds, at most 16; the record offset was in
    // the file, so the name starts at most 4 bytes past its end.
    const auto bytes = file.bytes();
    const std::int64_t nameStart = offset + kEntryHeadSize;
    const std::int64_t inFile = std::clamp<std::int64_t>(static_cast<std::int64_t>(bytes.size()) - nameStart, 0, kNameSize);
    std::span<const std::uint8_t> name;
    if (inFile > 0) name = bytes.subspan(static_cast<std::size_t>(nameStart), static_cast<std::size_t>(inFile));

    const auto zero = std::find(name.begin(), name.end(), std::uint8_t{0});
    if (zero != name.end()) {
        entry.name.assign(name.begin(), zero);
        entry.next = nameStart + (zero - name.begin()) + 1;
        return entry;
    }
    if (inFile < kNameSize) {
        // The name runs on past the end of the file: reading its next byte
        // fails and records where.
        file.u8(nameStart + inFile, "name");
        return std::nullopt;
    }
    entry.name.assign(name.begin(), name.end());
    entry.terminated = false;
    entry.next = nameStart + kNameSize;
    return entry;
}

std::optional<ImageHeader> readImageHeader(ByteReader& file, std::int64_t offset) {
    return file.recordAs<kImageHeaderSize>(offset, "image record", [offset](const Record<kImageHeaderSize>& r) {
        return ImageHeader{offset, r.i16le<0>(), r.u32le<kDataSizeAt>(), r.u32le<kWidthAt>(), r.u32le<kHeightAt>()};
    });
}

std::int64_t directoryRoom(const ByteReader& file) {
    return std::max<std::int64_t>(static_cast<std::int64_t>(file.size()) - kDirectoryStart, 0) / kSmallestEntry;
}

std::span<const std::uint8_t> dataInFile(const ByteReader& file, const ImageHeader& image) {
    const auto size = static_cast<std::int64_t>(file.size());
    const std::int64_t start = std::clamp<std::int64_t>(image.dataStart(), 0, size);
    const std::int64_t taken = std::min<std::int64_t>(image.dataSize, size - start);
    return file.bytes().subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(taken));
}

}  // namespace kelvane::fsh
