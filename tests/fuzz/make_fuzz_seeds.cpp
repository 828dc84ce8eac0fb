// Writes the fuzz targets' seed corpora with the project's own file writers:
// DIR/ebo_current, DIR/ebo_legacy, DIR/fsh, DIR/bmp and DIR/picture (PNG and
// TGA), a few small files each.
#include <filesystem>
#include <map>
#include <string>

#include "tests/builders/bmp_builder.h"
#include "tests/builders/test_files.h"
#include "export/image_writer.h"
#include "writers/dxt_encoder.h"
#include "writers/ebo_writer.h"
#include "writers/file_writer.h"
#include "writers/fsh_writer.h"

// Pictures are written as designated initializers that leave most fields at
// their defaults, which GCC 12 reports as missing.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

int main(int argc, char** argv) {
    using namespace kelvane;
    using Bytes = std::vector<std::uint8_t>;
    if (argc != 2) return 2;  // usage: kelvane_fuzz_seeds DIR
    // Three objects, one without normals and one with a longer strip.
    auto strip = test::quadObject("big", 1, 1, 1);
    strip.strip.insert(strip.strip.end(), {0, 1, 2, 3, 0, 1});
    const std::vector<writers::EboObject> objects = {test::quadObject("head"), test::quadObject("eyes", 2, 0, 0, false),
                                                     strip};
    // DXT1, DXT3 (of a size that is no multiple of 4) and another format.
    Bytes rgba(8 * 7 * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<std::uint8_t>(i * 37 + i / 4);
    const writers::FshArchive archive{.images = {{"head", 352, 8, 4, writers::encodeDxt1(8, 4, rgba), {}, {}},
                                                 {"eyes", 353, 5, 7, writers::encodeDxt3(5, 7, rgba), {}, {}},
                                                 {"other", 0x7D, 4, 4, Bytes(16, 1), {}, {}}}};
    // Every pixel depth, the core header, bit fields, top-down rows and an unpadded last row.
    const std::vector<std::array<std::uint8_t, 3>> two = {{0, 0, 0}, {255, 255, 255}},
                                                    three = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    using test::buildBmp;
    const std::vector<Bytes> bmps = {
        buildBmp({.width = 9, .height = 2, .bitsPerPixel = 1, .palette = two, .rows = {{0xA5, 0x80}, {0x5A, 0}}}),
        buildBmp({.width = 3, .height = -2, .bitsPerPixel = 4, .palette = three, .rows = {{0x12, 0}, {0x21, 0x20}}}),
        buildBmp({.width = 2, .height = 2, .bitsPerPixel = 8, .palette = three, .rows = {{0, 1}, {2, 1}}}),
        buildBmp({.infoHeaderSize = 12, .width = 2, .bitsPerPixel = 8, .palette = {256, {1, 2, 3}}, .rows = {{0, 255}}}),
        buildBmp({.width = 2, .bitsPerPixel = 16, .rows = {{0x00, 0x7C, 0xE0, 0x03}}}),
        buildBmp({.width = 2, .bitsPerPixel = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x1F},
                  .rows = {{0x00, 0xF8, 0xE0, 0x07}}}),
        buildBmp({.width = 3, .height = 2, .rows = {Bytes(9, 7), Bytes(9, 9)}, .padLastRow = false}),
        buildBmp({.infoHeaderSize = 124, .width = 2, .height = -1, .bitsPerPixel = 32, .compression = 3,
                  .masks = {0xFF0000, 0xFF00, 0xFF}, .rows = {Bytes(8, 5)}})};
    // An uncompressed 32-bit TGA stored top row first; a PNG of 3 x 2 RGBA
    // pixels, from the same bytes, is written last by the stb writer.
    Bytes tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 32, 0x28};
    tga.insert(tga.end(), rgba.begin(), rgba.begin() + 3 * 2 * 4);
    const std::map<std::string, std::vector<Bytes>> corpora = {
        {"ebo_current", {writers::makeEbo(objects, Generation::Current)}},
        {"ebo_legacy", {writers::makeEbo(objects, Generation::Legacy)}},
        {"fsh", {writers::buildFsh(archive)}}, {"bmp", bmps}, {"picture", {tga}}};
    const std::filesystem::path out = argv[1];
    for (const auto& [name, seeds] : corpora) {
        std::filesystem::create_directories(out / name);
        for (std::size_t i = 0; i < seeds.size(); ++i)
            writers::writeFile(out / name / ("seed" + std::to_string(i)), seeds[i]);
    }
    return writePng(out / "picture" / "seed1", 3, 2, rgba.data()) ? 0 : 1;
}
