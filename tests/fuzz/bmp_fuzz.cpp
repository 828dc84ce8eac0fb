// The BMP check and decoder on any bytes: a picture comes back exactly when
// the check passes the file, or is refused with a reason. (The decoder itself
// refuses a picture of another size than the check's; the unit tests read the
// rows of every depth.)
#include <string>

#include "platform/bmp_decoder.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvane;
    ByteReader file{std::vector<std::uint8_t>(data, data + size)};
    const platform::BmpCheck check = platform::checkBmp(file);
    const auto bitmap = platform::decodeBmp(file);
    FUZZ_CHECK(static_cast<bool>(bitmap) == static_cast<bool>(check.verdict));
    FUZZ_CHECK(bitmap || !bitmap.problem().what.empty());
    return 0;
}
