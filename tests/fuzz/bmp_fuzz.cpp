// The BMP check and decoder on any bytes: a picture comes back whole, at the
// size its headers state, or is refused with a reason.
#include <string>

#include "common/bmp_rows.h"
#include "platform/bmp_decoder.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvane;
    ByteReader file{std::vector<std::uint8_t>(data, data + size)};
    const platform::BmpCheck check = platform::checkBmp(file);
    const auto bitmap = platform::decodeBmp(file);
    FUZZ_CHECK(static_cast<bool>(bitmap) == static_cast<bool>(check.verdict));
    FUZZ_CHECK(bitmap || !bitmap.problem().what.empty());
    FUZZ_CHECK(!bitmap || (bitmap->width == check.layout.width && bitmap->height == check.layout.height &&
                           bitmap->bottomUpBgrRows.size() == bmpRowStride24(bitmap->width) * bitmap->height));
    return 0;
}
