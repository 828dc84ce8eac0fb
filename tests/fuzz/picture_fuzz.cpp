// The PNG and TGA checks and decoder on any bytes: a picture comes back or is
// refused with a reason, and nothing is read or written out of bounds.
#include <string>

#include "platform/picture_decoder.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvane;
    ByteReader file{std::vector<std::uint8_t>(data, data + size)};
    for (auto format : {platform::PictureFormat::Png, platform::PictureFormat::Tga}) {
        const auto picture = platform::decodeRgbaPicture(file, format);
        FUZZ_CHECK(picture || !picture.problem().what.empty());
    }
    return 0;
}
