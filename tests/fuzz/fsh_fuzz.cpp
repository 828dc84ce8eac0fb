// The FSH reader of both generations on any bytes, then every slot, the
// blank one included, decoded and shown: only what fits is ever drawn. (The
// slot count within the store, the blank slot at 0 x 0 and a DXT slot shown
// only with all its data are the reader's and the store's own rules, pinned
// row by row in their unit tests.)
#include <unistd.h>

#include <fstream>
#include <string>

#include "tests/fuzz/fuzz_check.h"
#include "textures/texture_store.h"

using namespace kelvane;

static void checkEverySlot(TextureStore& s, std::size_t fileSize) {
    const std::uint32_t n = s.slotCount, blank = s.generation == Generation::Current ? 1 : 0;
    for (std::uint32_t i = 0; i < n + blank; ++i) {
        FUZZ_CHECK(i == n || (s.imageData[i].size() <= fileSize && s.name[i].size() <= 15u));
        s.currentSlot = i;
        s.decodeSlot();
        const ShownImage shown = shownImage(s);
        FUZZ_CHECK(shown.pixels || (shown.width == 0 && shown.height == 0));
        FUZZ_CHECK(std::uint64_t{shown.width} * shown.height <= s.pixelCapacity());
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Kept between inputs, as the viewers keep theirs between loads.
    static TextureStore stores[] = {TextureStore(Generation::Current), TextureStore(Generation::Legacy)};
    // The reader takes a path: one file of this process, in memory, since a
    // disk file rewritten a million times costs more than the reading.
    static const std::string path = "/dev/shm/kelvane-fsh-fuzz-" + std::to_string(getpid()) + ".fsh";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
    for (TextureStore& store : stores) {
        std::optional<ReadProblem> problem;
        store.loadArchive(path, &problem);
        FUZZ_CHECK(!problem || !problem->what.empty());
        // Too short for the header: like a missing file, earlier slots stay.
        if (size >= 16) checkEverySlot(store, size);
    }
    return 0;
}
