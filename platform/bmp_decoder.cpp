#include "platform/bmp_decoder.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_FAILURE_STRINGS
#include <stb_image.h>

#include <cstring>
#include <memory>
#include <vector>

#include "common/bmp_rows.h"
#include "common/endian.h"

namespace kelvane::platform {

namespace {

// The vetted picture rewritten in the one layout stb_image reads without
// surprises: a 40-byte info header, masks and colour table exactly as long
// as checked, pixels right after them and every row padded. stb would
// otherwise take the table's length from the pixel offset, miscount the
// table after a 12-byte header, refuse a gap before 16 to 32-bit pixels and
// look for a 56-byte header's masks after it.
std::vector<std::uint8_t> canonicalBmp(ByteReader& file, const BmpLayout& l) {
    const bool bitFields = l.compression == kBmpBitFields;
    const std::uint32_t tableBytes = l.paletteEntries * 4 + (bitFields ? 12 : 0);
    const std::uint32_t pixelOffset = 14 + 40 + tableBytes;
    const std::size_t pixelBytes = static_cast<std::size_t>(l.stride * l.height);
    std::vector<std::uint8_t> out;
    out.reserve(pixelOffset + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    appendLe32(out, static_cast<std::uint32_t>(pixelOffset + pixelBytes));
    appendLe32(out, 0);
    appendLe32(out, pixelOffset);
    appendLe32(out, 40);
    appendLe32(out, static_cast<std::uint32_t>(l.width));
    appendLe32(out, static_cast<std::uint32_t>(l.topDown ? -l.height : l.height));
    appendLe16(out, 1);
    appendLe16(out, l.bitsPerPixel);
    appendLe32(out, l.compression);
    appendLe32(out, static_cast<std::uint32_t>(pixelBytes));
    appendLe32(out, 2835);  // 72 dots per inch, both ways
    appendLe32(out, 2835);
    appendLe32(out, l.paletteEntries);
    appendLe32(out, 0);
    if (bitFields)
        for (std::uint32_t mask : l.masks) appendLe32(out, mask);
    const std::span<const std::uint8_t> bytes = file.bytes();
    for (std::uint32_t i = 0; i < l.paletteEntries; ++i) {
        const std::uint8_t* entry = bytes.data() + l.paletteOffset + std::int64_t{i} * l.paletteEntrySize;
        out.insert(out.end(), {entry[0], entry[1], entry[2], 0});
    }
    const std::size_t available = bytes.size() - static_cast<std::size_t>(l.pixelOffset);
    const std::size_t copied = available < pixelBytes ? available : pixelBytes;
    const auto pixels = bytes.begin() + l.pixelOffset;
    out.insert(out.end(), pixels, pixels + static_cast<std::ptrdiff_t>(copied));
    out.resize(pixelOffset + pixelBytes, 0);  // the last row's missing padding
    return out;
}

// stb's top-down RGB rows as the bottom-up BGR rows of a bitmap.
Bitmap bottomUpBgr(const std::uint8_t* rgb, std::uint32_t width, std::uint32_t height) {
    const std::size_t stride = bmpRowStride24(width);
    Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.bottomUpBgrRows.assign(stride * height, 0);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* source = rgb + std::size_t{width} * 3 * y;
        std::uint8_t* row = &bitmap.bottomUpBgrRows[stride * (height - 1 - y)];
        for (std::uint32_t x = 0; x < width; ++x) {
            row[3 * x + 0] = source[3 * x + 2];
            row[3 * x + 1] = source[3 * x + 1];
            row[3 * x + 2] = source[3 * x + 0];
        }
    }
    return bitmap;
}

}  // namespace

Result<Bitmap> decodeBmp(ByteReader& file) {
    const BmpCheck check = checkBmp(file);
    if (!check.verdict) return check.verdict.problem();
    const std::vector<std::uint8_t> canonical = canonicalBmp(file, check.layout);
    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<stbi_uc, void (*)(void*)> rgb(
        stbi_load_from_memory(canonical.data(), static_cast<int>(canonical.size()), &width, &height, &channels, 3),
        stbi_image_free);
    if (!rgb || width != check.layout.width || height != check.layout.height)
        return failure("the BMP decoder refused the picture");
    return bottomUpBgr(rgb.get(), static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
}

Result<Bitmap> loadBmpFile(const std::filesystem::path& path) {
    auto file = ByteReader::open(path);
    if (!file) return file.problem();
    return decodeBmp(*file);
}

}  // namespace kelvane::platform
