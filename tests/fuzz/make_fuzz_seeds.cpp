// Writes the fuzz targets' seed corpora with the project's own file writers:
// DIR/ebo_current, DIR/ebo_legacy, DIR/fsh and DIR/bmp, a few small files each.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/builders/bmp_builder.h"
#include "tests/builders/test_files.h"
#include "writers/dxt_encoder.h"
#include "writers/ebo_writer.h"
#include "writers/file_writer.h"
#include "writers/fsh_writer.h"

// Pictures are written as designated initializers that leave most fields at
// their defaults, which GCC 12 reports as missing.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using namespace kelvane;
using Bytes = std::vector<std::uint8_t>;

std::vector<Bytes> eboSeeds(Generation generation) {
    auto strip = test::quadObject("big", 1, 1, 1);
    for (int i = 0; i < 6; ++i) strip.strip.push_back(static_cast<std::uint16_t>(i % 4));
    return {writers::makeEbo({test::quadObject("head")}, generation),
            writers::makeEbo({test::quadObject("head"), test::quadObject("eyes", 2, 0, 0, false), strip}, generation)};
}

Bytes rgbaPicture(std::uint32_t width, std::uint32_t height) {
    Bytes rgba(std::size_t{width} * height * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<std::uint8_t>(i * 37 + i / 4);
    return rgba;
}

std::vector<Bytes> fshSeeds() {
    writers::FshArchive mixed;
    mixed.images.push_back({"head", 352, 8, 4, writers::encodeDxt1(8, 4, rgbaPicture(8, 4)), {}, {}});
    mixed.images.push_back({"eyes", 353, 5, 7, writers::encodeDxt3(5, 7, rgbaPicture(5, 7)), {}, {}});
    mixed.images.push_back({"other", 0x7D, 4, 4, Bytes(16, 1), {}, {}});
    writers::FshArchive one;
    one.images.push_back({"hair", 352, 4, 4, writers::encodeDxt1(4, 4, rgbaPicture(4, 4)), {}, {}});
    return {writers::buildFsh(mixed), writers::buildFsh(one)};
}

std::vector<Bytes> bmpSeeds() {
    const std::vector<std::array<std::uint8_t, 3>> two = {{0, 0, 0}, {255, 255, 255}}, three = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    return {
        test::buildBmp({.width = 9, .height = 2, .bitsPerPixel = 1, .palette = two, .rows = {{0xA5, 0x80}, {0x5A, 0}}}),
        test::buildBmp({.width = 3, .height = -2, .bitsPerPixel = 4, .palette = three, .rows = {{0x12, 0}, {0x21, 0x20}}}),
        test::buildBmp({.width = 2, .height = 2, .bitsPerPixel = 8, .palette = three, .rows = {{0, 1}, {2, 1}}}),
        test::buildBmp({.infoHeaderSize = 12, .width = 2, .height = 1, .bitsPerPixel = 8,
                        .palette = std::vector<std::array<std::uint8_t, 3>>(256, {1, 2, 3}), .rows = {{0, 255}}}),
        test::buildBmp({.width = 2, .height = 1, .bitsPerPixel = 16, .rows = {{0x00, 0x7C, 0xE0, 0x03}}}),
        test::buildBmp({.width = 2, .height = 1, .bitsPerPixel = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x1F},
                        .rows = {{0x00, 0xF8, 0xE0, 0x07}}}),
        test::buildBmp({.width = 3, .height = 2, .rows = {Bytes(9, 7), Bytes(9, 9)}, .padLastRow = false}),
        test::buildBmp({.infoHeaderSize = 124, .width = 2, .height = -1, .bitsPerPixel = 32, .compression = 3,
                        .masks = {0xFF0000, 0xFF00, 0xFF}, .rows = {Bytes(8, 5)}}),
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out = argv[1];
    const std::pair<const char*, std::vector<Bytes>> corpora[] = {{"ebo_current", eboSeeds(Generation::Current)},
                                                                 {"ebo_legacy", eboSeeds(Generation::Legacy)},
                                                                 {"fsh", fshSeeds()},
                                                                 {"bmp", bmpSeeds()}};
    for (const auto& [name, seeds] : corpora) {
        std::filesystem::create_directories(out / name);
        for (std::size_t i = 0; i < seeds.size(); ++i) writers::writeFile(out / name / ("seed" + std::to_string(i)), seeds[i]);
    }
    return 0;
}
