// FSH texture archive reader.
//
// Layout: a 16-byte header (image count, big-endian, at offset 8), then the
// directory from offset 16, one entry per image: the image record's offset
// (big-endian u32), 4 bytes not used, and a name of 1 to 16 bytes ending at
// the first 0 byte. Each image record is a 32-byte little-endian header
// (format code u16 at 0, data size at 12, width at 24, height at 28) followed
// by the data. Records may lie anywhere; only the directory places them.
#include <algorithm>
#include <string>

#include "common/byte_reader.h"
#include "textures/s3tc.h"
#include "textures/texture_store.h"

namespace kelvane {
namespace {

constexpr std::int64_t kHeaderBytes = 16;
constexpr std::int64_t kEntryHeadBytes = 8;
constexpr std::int64_t kNameBytes = 16;
constexpr std::int64_t kRecordBytes = 32;

struct DirectoryEntry {
    std::uint32_t recordOffset = 0;
    std::string name;
    std::int64_t next = 0;  // where the following entry begins
};

// Reads one entry at `position`. A name takes bytes up to and including its
// 0 byte, at most 16; a 16-byte name without one is cut to 15 characters so
// that it stays a terminated string of at most 15.
std::optional<DirectoryEntry> readEntry(ByteReader& in, std::int64_t position) {
    DirectoryEntry entry;
    const auto offset = in.u32be(position, "image record offset");
    if (!offset) return std::nullopt;
    entry.recordOffset = *offset;
    std::int64_t at = position + kEntryHeadBytes;
    bool terminated = false;
    while (at < position + kEntryHeadBytes + kNameBytes) {
        const auto byte = in.u8(at++, "name");
        if (!byte) return std::nullopt;
        if (*byte == 0) {
            terminated = true;
            break;
        }
        entry.name += static_cast<char>(*byte);
    }
    if (!terminated) {
        entry.name.resize(kNameBytes - 1);
        in.fail(position + kEntryHeadBytes, "name", "no 0 byte within 16 bytes; cut to 15 characters");
    }
    entry.next = at;
    return entry;
}

}  // namespace

void TextureStore::loadArchive(const std::filesystem::path& path, ProblemSink problem) {
    slotCount = 0;
    currentSlot = 0;
    auto file = ByteReader::open(path, problem);
    if (!file) return;
    ByteReader& in = *file;
    const bool withBlank = generation != Generation::Legacy;

    // A file too short for its header is treated like one that cannot be
    // opened: the store keeps what it held.
    if (!in.contains(0, kHeaderBytes)) {
        in.fail(0, "header", "file is shorter than the 16-byte header");
        if (in.problem()) reportProblem(problem, *in.problem());
        return;
    }
    std::uint32_t count = Record<kHeaderBytes>(in.bytes().first<kHeaderBytes>()).u32be<8>();
    if (count > archiveCapacity(generation)) {
        in.fail(8, "image count",
                std::to_string(count) + " images, the store holds " + std::to_string(archiveCapacity(generation)) +
                    "; the rest are ignored");
        count = archiveCapacity(generation);
    }

    bool marked = false;
    std::int64_t position = kHeaderBytes;
    std::uint32_t read = 0;
    for (; read < count; ++read) {
        // A directory that ends early ends the archive: only whole entries count.
        const auto entry = readEntry(in, position);
        if (!entry) break;
        position = entry->next;
        const std::uint32_t i = read;
        name[i] = entry->name;
        checked[i] = 0;
        imageData[i] = {};

        // A record outside the file leaves a named slot of size 0 x 0 that
        // shows the model untextured, like the blank entry.
        const auto record = in.record<kRecordBytes>(entry->recordOffset, "image record");
        if (!record) {
            width[i] = 0;
            height[i] = 0;
            formatCode[i] = 0;
            continue;
        }
        const auto code = record->i16le<0>();
        formatCode[i] = code;
        width[i] = record->u32le<24>();
        height[i] = record->u32le<28>();
        if (code != kFormatDxt1 && code != kFormatDxt3) continue;

        if (!marked) {
            checked[i] = 1;
            marked = true;
        }
        // Take only the data the file holds; never allocate more than that.
        const std::int64_t recordAt = entry->recordOffset;
        const std::int64_t dataAt = recordAt + kRecordBytes;
        const std::uint32_t declared = record->u32le<12>();
        const std::int64_t available = static_cast<std::int64_t>(in.size()) - dataAt;
        const std::int64_t taken = std::min<std::int64_t>(declared, available);
        if (taken < declared)
            in.fail(recordAt + 12, "data size",
                    std::to_string(declared) + " bytes declared, the file holds " + std::to_string(taken));
        const auto data = in.bytes().subspan(static_cast<std::size_t>(dataAt), static_cast<std::size_t>(taken));
        imageData[i].assign(data.begin(), data.end());

        const SlotFault fault = slotFault(*this, i);
        if (fault == SlotFault::DataTooShort) {
            const std::uint64_t needed =
                dxtDataBytes(width[i], height[i], code == kFormatDxt1 ? kDxt1BlockBytes : kDxt3BlockBytes);
            in.fail(recordAt + 12, "data size",
                    std::to_string(taken) + " bytes of data, a " + std::to_string(width[i]) + " x " +
                        std::to_string(height[i]) + " image needs " + std::to_string(needed));
        } else if (fault == SlotFault::TooLarge) {
            in.fail(recordAt + 24, "width",
                    std::to_string(width[i]) + " x " + std::to_string(height[i]) +
                        " image does not fit the pixel buffer of " + std::to_string(pixelCapacity()) + " pixels");
        }
    }
    if (read < count) {
        // The directory ran out: the archive is the entries read so far.
        in.fail(position, "directory", "directory ends after " + std::to_string(read) + " of " +
                                           std::to_string(count) + " entries");
    }
    slotCount = read;
    if (withBlank) {
        width[slotCount] = 0;
        height[slotCount] = 0;
        formatCode[slotCount] = 0;
    }
    if (in.problem()) reportProblem(problem, *in.problem());
}

}  // namespace kelvane
