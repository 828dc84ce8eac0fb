// The FSH reader of both generations on any bytes, then every slot, the
// blank one included, decoded and shown: only what fits is ever drawn.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/fuzz/fuzz_check.h"
#include "textures/s3tc.h"
#include "textures/texture_store.h"

namespace {

using namespace kelvane;

void checkEverySlot(TextureStore& s, std::size_t fileSize) {
    FUZZ_CHECK(s.slotCount <= archiveCapacity(s.generation));
    const bool blank = s.generation == Generation::Current;
    const std::uint32_t n = s.slotCount;
    if (blank) FUZZ_CHECK(s.width[n] == 0 && s.height[n] == 0 && s.formatCode[n] == 0);
    for (std::uint32_t i = 0; i < n + (blank ? 1 : 0); ++i) {
        if (i < n) {
            FUZZ_CHECK(s.imageData[i].size() <= fileSize);
            FUZZ_CHECK(s.name[i].size() <= 15u);
        }
        s.currentSlot = i;
        s.decodeSlot();
        const ShownImage shown = shownImage(s);
        if (!shown.pixels) {
            FUZZ_CHECK(shown.width == 0 && shown.height == 0);
            continue;
        }
        FUZZ_CHECK(std::uint64_t{shown.width} * shown.height <= s.pixelCapacity());
        const std::int32_t code = s.formatCode[i];
        if (code == kFormatDxt1 || code == kFormatDxt3) {
            FUZZ_CHECK(slotFault(s, i) == SlotFault::None);
            const std::uint32_t block = code == kFormatDxt1 ? kDxt1BlockBytes : kDxt3BlockBytes;
            FUZZ_CHECK(s.imageData[i].size() >= dxtDataBytes(shown.width, shown.height, block));
        }
    }
}

// The reader takes a path: each input goes through one file of this
// process, in memory (/dev/shm) where the system has it, since a disk file
// rewritten a million times costs more than the reading.
const std::filesystem::path& inputFile() {
    static const std::filesystem::path path = [] {
        std::error_code ec;
        const std::filesystem::path folder =
            std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : std::filesystem::temp_directory_path();
        return folder / ("kelvane-fsh-fuzz-" + std::to_string(getpid()) + ".fsh");
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Kept between inputs, as the viewers keep theirs between loads.
    static TextureStore stores[] = {TextureStore(Generation::Current), TextureStore(Generation::Legacy)};
    std::ofstream(inputFile(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    for (TextureStore& store : stores) {
        std::optional<ReadProblem> problem;
        store.loadArchive(inputFile(), &problem);
        if (problem) FUZZ_CHECK(!problem->what.empty());
        // Too short for the header: like a missing file, earlier slots stay.
        if (size >= 16) checkEverySlot(store, size);
    }
    return 0;
}
