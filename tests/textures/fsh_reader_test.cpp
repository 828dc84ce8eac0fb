// The FSH reader on archives from the writer, well-formed and odd ones.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/builders/test_files.h"
#include "tests/support/temp_dir.h"
#include "textures/texture_store.h"
#include "writers/file_writer.h"
#include "writers/fsh_writer.h"

namespace kelvane {
namespace {

using Bytes = std::vector<std::uint8_t>;
using writers::FshImage;
using enum Generation;

// A DXT1 (352) or DXT3 (353) image with exactly the data its size needs, its record where asked.
FshImage dxt(std::string name, std::uint16_t code = 352, std::uint32_t w = 4, std::uint32_t h = 4, std::uint8_t fill = 1,
             std::optional<std::uint32_t> recordOffset = {}, std::optional<std::uint32_t> declared = {}) {
    return {std::move(name), code, w, h, Bytes((w + 3) / 4 * ((h + 3) / 4) * (code == 353 ? 16 : 8), fill), recordOffset, declared};
}
Bytes fsh(std::vector<FshImage> images) { return writers::buildFsh({std::move(images), {}}); }

// The first problem's field and offset ("no archive: " first when it says the file is none), the slot count,
// then the last three slots as "'name' code WxH, data size:first data byte" (" checked" when checked) and the
// code and size of the slot after them.
std::string describe(const TextureStore& s, const std::optional<ReadProblem>& p) {
    std::ostringstream out;
    if (p) out << (p->what.starts_with("not an FSH archive: ") ? "no archive: " : "") << p->field << " @" << p->offset;
    out << " | " << s.slotCount << ":";
    for (std::uint32_t i = s.slotCount < 3 ? 0 : s.slotCount - 3; i < s.slotCount; ++i) {
        out << " '" << s.name[i] << "' " << s.formatCode[i] << " " << s.width[i] << "x" << s.height[i] << ", "
            << s.imageData[i].size();
        if (!s.imageData[i].empty()) out << ":" << int{s.imageData[i][0]};
        out << (s.checked[i] ? " checked;" : ";");
    }
    if (const std::uint32_t n = s.slotCount; n < kTextureSlots) out << " " << s.formatCode[n] << " " << s.width[n] << "x" << s.height[n];
    return out.str();
}

// Each case is read over an archive of four 8 x 8 DXT1 images named "old".
TEST(FshReader, FillsTheSlotsInDirectoryOrderAsFarAsTheFileAllows) {
    std::vector<FshImage> many;
    for (std::uint8_t i = 0; i < 25; ++i) many.push_back(dxt(std::string("n").append(std::to_string(i)), 352, 4, 4, i));
    Bytes cutInName = fsh({dxt("first"), dxt("second")}), lost = fsh({dxt("lost"), dxt("kept", 353)});
    cutInName.resize(16 + 14 + 8 + 3);
    test::put32(lost, 16, 0xF0FFFFFF);  // big-endian 0xFFFFFFF0
    const std::string note = "The eyes sit too low and the hair needs a darker shade before Friday.\n";
    const Bytes text(note.begin(), note.end());
    const std::tuple<Generation, Bytes, std::string> cases[] = {
        // Records lie anywhere; the blank after the last image in the current generation only.
        {Current, fsh({dxt("face", 353, 8, 8, 1, 4000), dxt("eyes_and_brows_", 352, 4, 4, 2, 200), dxt("h", 352, 12, 4, 3, 100)}),
         " | 3: 'face' 353 8x8, 64:1 checked; 'eyes_and_brows_' 352 4x4, 8:2; 'h' 352 12x4, 24:3; 0 0x0"},
        // Codes are sign-extended; an unknown one keeps its size but no data.
        {Current, fsh({{"neg", 0xFFFE, 4, 4, Bytes(8), {}, {}}}), " | 1: 'neg' -2 4x4, 0; 0 0x0"},
        // The data is exactly the declared size (a file holding less: the inspect test of cut.fsh).
        {Current, fsh({dxt("e", 352, 4, 4, 1, {}, 0), dxt("s", 352, 8, 4, 3, {}, 8)}),
         "data size @48 | 2: 'e' 352 4x4, 0 checked; 's' 352 8x4, 8:3; 0 0x0"},
        // 2048 x 2048 fits the current buffer but not the legacy one.
        {Current, fsh({dxt("large", 352, 2048, 2048)}), " | 1: 'large' 352 2048x2048, 2097152:1 checked; 0 0x0"},
        {Legacy, fsh({dxt("large", 352, 2048, 2048)}), "width @54 | 1: 'large' 352 2048x2048, 2097152:1 checked; 352 8x8"},
        // No images clears the current generation's slot 0; a file too short for its header changes only the counters.
        {Current, fsh({}), " | 0: 0 0x0"},
        {Current, Bytes(10, 0), "no archive: header @0 | 0: 352 8x8"},
        // The store keeps only the images it holds. Text declares more images than it has room for directory
        // entries: it is no archive, though its bytes still name slots.
        {Current, fsh(many), "image count @8 | 19: 'n16' 352 4x4, 8:16; 'n17' 352 4x4, 8:17; 'n18' 352 4x4, 8:18; 0 0x0"},
        {Legacy, fsh(many), "image count @8 | 20: 'n17' 352 4x4, 8:17; 'n18' 352 4x4, 8:18; 'n19' 352 4x4, 8:19;"},
        {Current, text, "no archive: image count @8 | 2: ' the hair needs' 0 0x0, 0; ' shade before F' 0 0x0, 0; 0 0x0"},
        // A directory cut inside the second entry's name: one named slot, whose record lay past the cut.
        {Current, cutInName, "image record @45 | 1: 'first' 0 0x0, 0; 0 0x0"},
        // A 16-byte name is cut to 15 characters; the next entry starts after it.
        {Current, fsh({dxt("sixteen_chars_16"), dxt("after")}),
         "name @24 | 2: 'sixteen_chars_1' 352 4x4, 8:1 checked; 'after' 352 4x4, 8:1; 0 0x0"},
        // A record outside the file leaves its slot named but empty.
        {Current, lost, "image record @4294967280 | 2: 'lost' 0 0x0, 0; 'kept' 353 4x4, 16:1 checked; 0 0x0"},
    };
    const test::TempDir dir;
    writers::writeFile(dir / "old.fsh", fsh(std::vector(4, dxt("old", 352, 8, 8))));
    for (const auto& [generation, bytes, expected] : cases) {
        TextureStore store(generation);
        store.loadArchive(dir / "old.fsh");
        store.currentSlot = 2;
        writers::writeFile(dir / "archive.fsh", bytes);
        std::optional<ReadProblem> problem;
        store.loadArchive(dir / "archive.fsh", &problem);
        EXPECT_EQ(std::to_string(store.currentSlot) + describe(store, problem), "0" + expected);
        // The same bytes from memory (a stream's) read the same.
        TextureStore fromBytes(generation);
        fromBytes.loadArchive(dir / "old.fsh");
        fromBytes.currentSlot = 2;
        std::optional<ReadProblem> bytesProblem;
        fromBytes.loadArchiveBytes(bytes, &bytesProblem);
        EXPECT_EQ(std::to_string(fromBytes.currentSlot) + describe(fromBytes, bytesProblem), "0" + expected);
    }
}

}  // namespace
}  // namespace kelvane
