// PNG and TGA pictures: they keep their alpha and come out top row first,
// and files their checks refuse never reach the decoder.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/picture_decoder.h"
#include "tests/support/temp_dir.h"
#include "export/image_writer.h"
#include "writers/file_writer.h"

namespace kelvane::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(PictureDecoder, KeepsAlphaTopRowFirstAndRefusesWhatIsNotItsKind) {
    const test::TempDir dir;
    // 2 x 2: red, clear green; half-clear blue, grey.
    const Bytes rgba = {255, 0, 0, 255, 0, 255, 0, 0, 0, 0, 255, 128, 9, 9, 9, 255};
    ASSERT_TRUE(writePng(dir / "a.png", 2, 2, rgba.data()));
    // The same as a 32-bit TGA stored bottom row first, in BGRA order.
    Bytes tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 8};
    for (int row : {1, 0})
        for (int x = 0; x < 2; ++x) {
            const std::uint8_t* p = &rgba[(row * 2 + x) * 4];
            tga.insert(tga.end(), {p[2], p[1], p[0], p[3]});
        }
    writers::writeFile(dir / "a.TGA", tga);
    for (const char* name : {"a.png", "a.TGA"}) {
        const auto picture = loadRgbaPictureFile(dir / name);
        ASSERT_TRUE(picture) << name << ": " << picture.problem().what;
        EXPECT_EQ(std::tuple(picture->width, picture->height, picture->rgba), std::tuple(2u, 2u, rgba)) << name;
    }

    std::ifstream in(dir / "a.png", std::ios::binary);
    const Bytes png{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const Bytes text(100, 'x');
    Bytes wide = tga;
    wide[13] = 0x08;  // 2050 pixels wide: refused before any pixel is decoded
    const std::vector<std::tuple<const char*, Bytes, const char*>> refused = {
        {"text.png", text, "not a PNG picture"},
        {"cut.png", Bytes(png.begin(), png.end() - 13), "runs past the end of the file"},
        {"text.tga", text, "not a TGA picture"},
        {"cut.tga", Bytes(tga.begin(), tga.end() - 1), "ends inside its pixels"},
        {"wide.tga", wide, "2050 x 2 pixels is larger than the 1024 x 1024"},
    };
    for (const auto& [name, bytes, expected] : refused) {
        writers::writeFile(dir / name, bytes);
        const auto picture = loadRgbaPictureFile(dir / name);
        ASSERT_FALSE(picture) << name;
        EXPECT_NE(picture.problem().what.find(expected), std::string::npos) << name << ": " << picture.problem().what;
    }
}

}  // namespace
}  // namespace kelvane::platform
