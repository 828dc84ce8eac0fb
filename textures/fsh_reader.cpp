// FSH texture archive reader: the directory's entries fill the store's
// slots in order (layout in textures/fsh_format.h).
#include <string>
#include <utility>

#include "textures/fsh_format.h"
#include "textures/s3tc.h"
#include "textures/texture_store.h"

namespace kelvane {

namespace {

constexpr const char* kArchiveKind = "an FSH archive";

// FSH files carry no magic number; the image count is the one sign of a file
// that is no archive. A count above what the store holds is an archive's
// only when the file has room for that many directory entries (its first
// entries are then read, so "the rest are ignored" is true); past that room
// it is no archive's count. A count the store holds is left to the
// directory, which a cut may end early.
void failTooManyImages(ByteReader& in, std::uint32_t count, std::uint32_t capacity) {
    const std::string images = std::to_string(count) + " images";
    const std::int64_t room = fsh::directoryRoom(in);
    if (count <= room) {
        in.fail(fsh::kImageCountAt, "image count",
                images + ", the store holds " + std::to_string(capacity) + "; the rest are ignored");
        return;
    }
    in.fail(fsh::kImageCountAt, "image count",
            images + " declared, " +
                (room == 0 ? "the file holds no directory entry"
                           : "a file of " + std::to_string(in.size()) + " bytes holds at most " +
                                 std::to_string(room) + (room == 1 ? " directory entry" : " directory entries")));
    in.notOfKind(kArchiveKind);
}

}  // namespace

void TextureStore::loadArchive(const std::filesystem::path& path, ProblemSink problem) {
    revision = nextRevision();
    slotCount = 0;
    currentSlot = 0;
    auto file = ByteReader::open(path);
    if (!file) return reportProblem(problem, file.problem());
    readArchive(*file, problem);
}

void TextureStore::loadArchiveBytes(std::vector<std::uint8_t> bytes, ProblemSink problem) {
    revision = nextRevision();
    slotCount = 0;
    currentSlot = 0;
    ByteReader in(std::move(bytes));
    readArchive(in, problem);
}

void TextureStore::readArchive(ByteReader& in, ProblemSink problem) {
    const bool withBlank = traits(generation).blankSlot;

    // A file too short for its header is treated like one that cannot be
    // opened: refused, no image counted, the slots and the pixel buffer left
    // as they were. It is no archive at all.
    const auto header = fsh::readHeader(in);
    if (!header) {
        in.notOfKind(kArchiveKind);
        if (in.problem()) {
            ReadProblem found = *in.problem();
            found.refused = true;
            reportProblem(problem, std::move(found));
        }
        return;
    }
    std::uint32_t count = header->imageCount;
    if (count > archiveCapacity(generation)) {
        failTooManyImages(in, count, archiveCapacity(generation));
        count = archiveCapacity(generation);
    }

    bool marked = false;
    std::int64_t position = fsh::kDirectoryStart;
    std::uint32_t read = 0;
    for (; read < count; ++read) {
        // A directory that ends early ends the archive: only whole entries count.
        const auto entry = fsh::readDirectoryEntry(in, position);
        if (!entry) break;
        const std::uint32_t i = read;
        name[i] = entry->name;
        if (!entry->terminated) {
            // Cut so that it stays a terminated string of at most 15.
            name[i].resize(fsh::kNameSize - 1);
            in.fail(position + fsh::kEntryHeadSize, "name", "no 0 byte within 16 bytes; cut to 15 characters");
        }
        position = entry->next;
        checked[i] = 0;
        imageData[i] = {};

        // A record outside the file leaves a named slot of size 0 x 0 that
        // shows the model untextured, like the blank entry.
        const auto image = fsh::readImageHeader(in, entry->recordOffset);
        if (!image) {
            width[i] = 0;
            height[i] = 0;
            formatCode[i] = 0;
            continue;
        }
        const std::int32_t code = image->formatCode;
        formatCode[i] = code;
        width[i] = image->width;
        height[i] = image->height;
        if (code != kFormatDxt1 && code != kFormatDxt3) continue;

        if (!marked) {
            checked[i] = 1;
            marked = true;
        }
        // Take only the data the file holds; never allocate more than that.
        const auto data = fsh::dataInFile(in, *image);
        if (data.size() < image->dataSize)
            in.fail(image->offset + fsh::kDataSizeAt, "data size",
                    std::to_string(image->dataSize) + " bytes declared, the file holds " + std::to_string(data.size()));
        imageData[i] = in.share(data);

        const SlotFault fault = slotFault(*this, i);
        if (fault == SlotFault::DataTooShort) {
            const std::uint64_t needed =
                dxtDataBytes(width[i], height[i], code == kFormatDxt1 ? kDxt1BlockBytes : kDxt3BlockBytes);
            in.fail(image->offset + fsh::kDataSizeAt, "data size",
                    std::to_string(data.size()) + " bytes of data, a " + std::to_string(width[i]) + " x " +
                        std::to_string(height[i]) + " image needs " + std::to_string(needed));
        } else if (fault == SlotFault::TooLarge) {
            in.fail(image->offset + fsh::kWidthAt, "width",
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
    // Slots this archive did not fill keep their data, but not the whole
    // earlier file's bytes with it.
    for (auto& data : imageData)
        if (!data.viewsInto(in.owner())) data.ownElements();
    if (withBlank) {
        width[slotCount] = 0;
        height[slotCount] = 0;
        formatCode[slotCount] = 0;
    }
    if (!in.problem()) return;
    ReadProblem found = *in.problem();
    found.refused = read == 0;  // not one image came from the file
    reportProblem(problem, std::move(found));
}

}  // namespace kelvane
