#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "common/generation.h"
#include "common/shared_array.h"
#include "common/revision.h"
#include "common/read_problem.h"

namespace kelvane {

class ByteReader;

constexpr int kTextureSlots = 20;
constexpr std::int32_t kFormatDxt1 = 352;
constexpr std::int32_t kFormatDxt3 = 353;

// Archive images the store keeps: a generation with a blank entry needs the
// slot after the last image for it, so kept images and blank fill the slots.
constexpr std::uint32_t archiveCapacity(Generation generation) { return traits(generation).archiveCapacity; }
static_assert([] {
    for (const auto& t : kGenerations)
        if (t.archiveCapacity + (t.blankSlot ? 1u : 0u) != std::uint32_t{kTextureSlots}) return false;
    return true;
}());

// Why a slot cannot be decoded into the shared buffer.
enum class SlotFault {
    None,          // DXT1 or DXT3 data that fits the buffer
    OutOfRange,    // no such slot
    NotDxt,        // format code other than 352 and 353 (or the blank slot)
    TooLarge,      // the decoded block rows would not fit the pixel buffer
    DataTooShort,  // fewer data bytes than the width and height need
};
const char* describeSlotFault(SlotFault fault);

// The image that drawing uploads this frame: the shown slot's size and the
// shared pixel buffer, or 0 x 0 when the shown slot cannot be shown as is.
struct ShownImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    const std::uint8_t* pixels = nullptr;  // width * height RGBA pixels, row 0 first
};

// A texture store: the loaded archive's images as 20 parallel slot arrays,
// and one RGBA buffer, shared by the slots, holding the decoded image of the
// shown slot (16 MiB, or 4 MiB in the legacy generation), made and zeroed
// with the store. Stores come and go: a reload reads into a fresh one that
// replaces the viewer's whole, buffer included, and a failed load tries the
// other generation's reader on one of its own. So nothing keeps the buffer's
// address: drawing asks shownImage for it on every frame.
class TextureStore {
public:
    explicit TextureStore(Generation generation);

    Generation generation;
    // Changes whenever the pixel buffer or the slots may have changed (each
    // load, import and decode): drawing keeps its uploaded copy of an image
    // while the revision holds.
    std::uint64_t revision = nextRevision();
    std::uint32_t currentSlot = 0;
    std::uint32_t slotCount = 0;
    std::array<std::uint32_t, kTextureSlots> width{};
    std::array<std::uint32_t, kTextureSlots> height{};
    std::array<std::int32_t, kTextureSlots> formatCode{};
    std::array<std::uint32_t, kTextureSlots> checked{};
    std::vector<std::uint8_t> pixels;
    // An archive's image data views the bytes its load read.
    std::array<SharedArray<std::uint8_t>, kTextureSlots> imageData;
    std::array<std::string, kTextureSlots> name;  // Latin-1, at most 15 bytes

    // Number of RGBA pixels the shared buffer holds.
    std::uint32_t pixelCapacity() const { return static_cast<std::uint32_t>(pixels.size() / 4); }

    // Decodes the shown slot into the shared buffer (DXT1 or DXT3 only); a
    // slot with a fault (see slotFault) leaves the buffer as it was.
    void decodeSlot();

    // Fills the slots from an FSH archive. `problem` receives the first thing
    // found wrong with the file.
    void loadArchive(const std::filesystem::path& path, ProblemSink problem = nullptr);
    // The same for an archive already in memory (as if it had been opened).
    void loadArchiveBytes(std::vector<std::uint8_t> bytes, ProblemSink problem = nullptr);

    // Makes slot 0 the shown slot and converts a 24-bit bottom-up picture
    // (rows padded to 4 bytes) into the shared buffer. Slot 0 loses any
    // archive format code and data. A picture whose rows are shorter than
    // `bgrRows` needs, or that does not fit the buffer, leaves slot 0 at
    // 0 x 0 and the buffer untouched.
    void importPixels(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> bgrRows);

    // The same for a picture that carries alpha (PNG, TGA): RGBA rows, top
    // row first, taken as they are, so its transparent parts stay so.
    void importRgba(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> rgba);

private:
    // What both loads share once the bytes are open.
    void readArchive(ByteReader& in, ProblemSink problem);
};

// Whether slot `slot` can be decoded. decodeSlot refuses every slot with a
// fault, and shownImage reports a refused DXT slot as 0 x 0, so a picture is
// never drawn with a size its pixels were not decoded at.
SlotFault slotFault(const TextureStore& store, std::uint32_t slot);

// What drawing uploads for the shown slot: 0 x 0 (and no pixels) when the
// slot number is out of range, its width x height does not fit the buffer, or
// it is a DXT slot that decodeSlot refuses.
ShownImage shownImage(const TextureStore& store);

}  // namespace kelvane
