#include "platform/bmp_extent.h"

#include <cstdint>
#include <cstdlib>

namespace kelvane::platform {

namespace {
constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::int64_t kCoreHeaderSize = 12;  // the oldest info header: 16-bit sizes, 3-byte colours
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
}  // namespace

bool bmpDataInsideFile(ByteReader& file, BmpFacts* facts) {
    const auto magic = file.u16le(0, "file type");
    const auto pixelOffset = file.u32le(10, "pixel data offset");
    const auto infoSize = file.u32le(kFileHeaderSize, "info header size");
    if (!magic || *magic != 0x4D42 || !pixelOffset || !infoSize) return false;  // "BM"
    if (*infoSize < kCoreHeaderSize || !file.contains(kFileHeaderSize, *infoSize)) return false;

    std::int64_t width = 0, height = 0, bitsPerPixel = 0, paletteEntries = 0, entrySize = 4;
    std::uint32_t compression = kBiRgb, imageSize = 0;
    if (*infoSize == kCoreHeaderSize) {
        width = *file.u16le(18, "width");
        height = *file.u16le(20, "height");
        bitsPerPixel = *file.u16le(24, "bits per pixel");
        entrySize = 3;
        if (bitsPerPixel <= 8) paletteEntries = std::int64_t{1} << bitsPerPixel;
    } else {
        if (*infoSize < 40) return false;
        width = *file.i32le(18, "width");
        height = std::llabs(static_cast<long long>(*file.i32le(22, "height")));
        bitsPerPixel = *file.u16le(28, "bits per pixel");
        compression = *file.u32le(30, "compression");
        imageSize = *file.u32le(34, "image size");
        const std::uint32_t used = *file.u32le(46, "colours used");
        if (bitsPerPixel <= 8) paletteEntries = used ? used : std::int64_t{1} << bitsPerPixel;
        // Bit-field masks follow a 40-byte header.
        if (compression == kBiBitfields && *infoSize == 40) paletteEntries += 3;
    }
    if (width <= 0 || height <= 0 || bitsPerPixel <= 0 || bitsPerPixel > 32) return false;
    if (facts) *facts = {static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height), compression};
    if (!file.contains(kFileHeaderSize + *infoSize, paletteEntries * entrySize)) return false;

    // Run-length and other compressed data end where the header says.
    if (compression != kBiRgb && compression != kBiBitfields) return file.contains(*pixelOffset, imageSize) && imageSize > 0;
    const std::int64_t stride = (width * bitsPerPixel + 31) / 32 * 4;  // < 2^37: no overflow
    if (stride > 0 && height > (std::int64_t{1} << 40) / stride) return false;
    return file.contains(*pixelOffset, stride * height);
}

}  // namespace kelvane::platform
