// The PNG and TGA checks and decoder on any bytes: a picture comes back
// whole or is refused with a reason.
#include <string>

#include "platform/picture_decoder.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvane;
    ByteReader file{std::vector<std::uint8_t>(data, data + size)};
    for (auto format : {platform::PictureFormat::Png, platform::PictureFormat::Tga}) {
        const auto picture = platform::decodeRgbaPicture(file, format);
        FUZZ_CHECK(picture || !picture.problem().what.empty());
        FUZZ_CHECK(!picture || picture->rgba.size() == std::size_t{picture->width} * picture->height * 4);
    }
    return 0;
}
