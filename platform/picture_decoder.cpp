#include "platform/picture_decoder.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_FAILURE_STRINGS
#include <stb_image.h>

#include <array>
#include <cstring>
#include <memory>

#include "platform/bmp_header.h"

namespace kelvane::platform {

namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::int64_t kChunkOverhead = 12;  // length, type, CRC
constexpr std::int64_t kTgaHeaderSize = 18;

std::string number(std::uint64_t value) { return std::to_string(value); }

bool startsWithPngSignature(const ByteReader& file) {
    return file.size() >= kPngSignature.size() &&
           std::memcmp(file.bytes().data(), kPngSignature.data(), kPngSignature.size()) == 0;
}

// A picture the viewers would not import is refused before it is decoded,
// so a small hostile file cannot make the decoder fill a huge buffer.
Outcome sizeCheck(std::uint64_t width, std::uint64_t height) {
    if (width == 0 || height == 0) return failure("picture of " + number(width) + " x " + number(height) + " pixels");
    if (width > kMaxImportedBitmapSide || height > kMaxImportedBitmapSide)
        return importableSize(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
    return Done{};
}

bool validPngDepth(std::uint8_t colourType, std::uint8_t depth) {
    switch (colourType) {
        case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;  // grey
        case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;                 // palette
        case 2:                                                                               // RGB
        case 4:                                                                               // grey, alpha
        case 6: return depth == 8 || depth == 16;                                             // RGBA
        default: return false;
    }
}

}  // namespace

Outcome pngCheck(ByteReader& file) {
    if (!startsWithPngSignature(file)) return failure("not a PNG picture: no PNG signature");
    const std::int64_t headerAt = static_cast<std::int64_t>(kPngSignature.size());
    const auto header = file.span(headerAt, 8 + 13, "IHDR");
    if (!header) return failure("not a PNG picture: file ends inside the header");
    const std::uint8_t* h = header->data();
    if (loadBe32(h) != 13 || std::memcmp(h + 4, "IHDR", 4) != 0)
        return failure("not a PNG picture: the first chunk is not a 13-byte IHDR");
    const std::uint32_t width = loadBe32(h + 8), height = loadBe32(h + 12);
    if (width > 0x7FFFFFFF || height > 0x7FFFFFFF) return failure("PNG header gives a size over 2^31");
    if (Outcome size = sizeCheck(width, height); !size) return size;
    const std::uint8_t depth = h[16], colourType = h[17];
    if (!validPngDepth(colourType, depth))
        return failure("PNG colour type " + number(colourType) + " with " + number(depth) +
                       " bits is not a PNG format");
    if (h[18] != 0 || h[19] != 0 || h[20] > 1) return failure("PNG compression, filter or interlace method is unknown");

    // Every chunk lies whole inside the file, up to IEND, with image data on the way.
    bool imageData = false, palette = false;
    for (std::int64_t at = headerAt; file.contains(at, 8);) {
        const std::uint32_t length = loadBe32(file.bytes().data() + at);
        const std::uint8_t* type = file.bytes().data() + at + 4;
        if (length > 0x7FFFFFFF || !file.contains(at, kChunkOverhead + length))
            return failure("PNG chunk at offset " + number(static_cast<std::uint64_t>(at)) +
                           " runs past the end of the file");
        if (std::memcmp(type, "IDAT", 4) == 0) imageData = true;
        if (std::memcmp(type, "PLTE", 4) == 0) palette = true;
        if (std::memcmp(type, "IEND", 4) == 0) {
            if (!imageData) return failure("PNG file has no image data");
            if (colourType == 3 && !palette) return failure("PNG palette picture has no palette");
            return Done{};
        }
        at += kChunkOverhead + length;
    }
    return failure("PNG file ends before its IEND chunk");
}

Outcome tgaCheck(ByteReader& file) {
    const auto header = file.record<kTgaHeaderSize>(0, "TGA header");
    if (!header) return failure("not a TGA picture: file ends inside the 18-byte header");
    const std::uint8_t idLength = file.bytes()[0], mapType = file.bytes()[1], imageType = file.bytes()[2];
    const std::uint16_t mapLength = header->u16le<5>();
    const std::uint8_t mapEntryBits = file.bytes()[7];
    const std::uint16_t width = header->u16le<12>(), height = header->u16le<14>();
    const std::uint8_t depth = file.bytes()[16];

    const bool mapped = imageType == 1 || imageType == 9;
    const bool trueColour = imageType == 2 || imageType == 10;
    const bool grey = imageType == 3 || imageType == 11;
    if (!mapped && !trueColour && !grey) return failure("not a TGA picture: image type " + number(imageType));
    if (mapType > 1 || (mapped && mapType != 1)) return failure("not a TGA picture: colour map type " + number(mapType));
    if ((mapped && depth != 8) || (grey && depth != 8) ||
        (trueColour && depth != 15 && depth != 16 && depth != 24 && depth != 32))
        return failure("TGA image type " + number(imageType) + " with " + number(depth) + " bits a pixel is not taken");
    if (mapType == 1 && mapEntryBits != 15 && mapEntryBits != 16 && mapEntryBits != 24 && mapEntryBits != 32)
        return failure("TGA colour map entries of " + number(mapEntryBits) + " bits are not taken");
    if (Outcome size = sizeCheck(width, height); !size) return size;

    const std::int64_t mapBytes = mapType == 1 ? std::int64_t{mapLength} * ((mapEntryBits + 7) / 8) : 0;
    const std::int64_t pixelsAt = kTgaHeaderSize + idLength + mapBytes;
    if (!file.contains(0, pixelsAt)) return failure("TGA file ends inside its colour map");
    const std::int64_t pixelBytes = std::int64_t{width} * height * ((depth + 7) / 8);
    const bool runLength = imageType >= 9;
    // Run-length pixels are at least one byte; stb reads past their end as 0.
    if (!file.contains(pixelsAt, runLength ? 1 : pixelBytes)) return failure("TGA file ends inside its pixels");
    return Done{};
}

Result<RgbaPicture> decodeRgbaPicture(ByteReader& file, PictureFormat format) {
    const bool png = format == PictureFormat::Png;
    if (Outcome check = png ? pngCheck(file) : tgaCheck(file); !check) return check.problem();
    const std::span<const std::uint8_t> bytes = file.bytes();
    if (bytes.size() > 0x7FFFFFFF) return failure("picture file of over 2 GiB");
    // The size the check vetted; the decoder must give exactly that.
    const std::uint8_t* b = bytes.data();
    const std::int64_t declaredWidth = png ? loadBe32(b + 16) : loadLe16(b + 12);
    const std::int64_t declaredHeight = png ? loadBe32(b + 20) : loadLe16(b + 14);
    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<stbi_uc, void (*)(void*)> rgba(
        stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channels, 4),
        stbi_image_free);
    if (!rgba || width != declaredWidth || height != declaredHeight)
        return failure(png ? "the PNG decoder refused the picture" : "the TGA decoder refused the picture");
    RgbaPicture picture;
    picture.width = static_cast<std::uint32_t>(width);
    picture.height = static_cast<std::uint32_t>(height);
    picture.rgba.assign(rgba.get(), rgba.get() + std::size_t{picture.width} * picture.height * 4);
    return picture;
}

Result<RgbaPicture> loadRgbaPictureFile(const std::filesystem::path& path) {
    auto file = ByteReader::open(path);
    if (!file) return file.problem();
    std::u8string extension = path.extension().u8string();
    for (auto& c : extension) c = static_cast<char8_t>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return decodeRgbaPicture(*file, extension == u8".tga" ? PictureFormat::Tga : PictureFormat::Png);
}

}  // namespace kelvane::platform
