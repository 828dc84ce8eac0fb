#include "platform/bmp_header.h"

#include <bit>

namespace kelvane::platform {

namespace {

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;  // the oldest info header: 16-bit sizes, 3-byte colours
constexpr std::uint32_t kInfoHeaderSize = 40;

std::string number(std::int64_t value) { return std::to_string(value); }

// The words for a file that is no BMP picture at all: no "BM" signature, or
// headers that no BMP has (too short, an unknown info header size, other
// than 1 colour plane). Every other refusal is of a BMP picture the viewers
// do not take, and says only why.
std::string notABmp(const std::string& detail) { return "not a BMP picture: " + detail; }

bool knownHeaderSize(std::uint32_t size) {
    return size == kCoreHeaderSize || size == kInfoHeaderSize || size == 52 || size == 56 || size == 108 ||
           size == 124;
}

bool knownDepth(std::uint32_t bits, bool core) {
    if (core) return bits == 1 || bits == 4 || bits == 8 || bits == 24;
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// A mask the decoders can turn into an 8-bit channel: one run of at most 8
// set bits inside the pixel.
std::optional<std::string> maskFault(std::uint32_t mask, std::uint32_t bitsPerPixel) {
    if (mask == 0) return "is empty";
    if (bitsPerPixel < 32 && (mask >> bitsPerPixel) != 0)
        return "lies outside the " + number(bitsPerPixel) + "-bit pixel";
    const std::uint32_t run = mask >> std::countr_zero(mask);
    if ((run & (run + 1)) != 0) return "is not one run of bits";
    if (std::popcount(mask) > 8) return "is wider than 8 bits";
    return std::nullopt;
}

// The first pixel whose colour index lies past the table, described; only
// needed when the table is shorter than the depth could index.
std::optional<std::string> paletteIndexFault(ByteReader& file, const BmpLayout& l) {
    const std::span<const std::uint8_t> bytes = file.bytes();
    const std::uint32_t bits = l.bitsPerPixel;
    if (bits > 8 || l.paletteEntries >= (1u << bits)) return std::nullopt;
    const std::uint32_t perByte = 8 / bits;
    const std::uint32_t valueMask = (1u << bits) - 1;
    for (std::int64_t y = 0; y < l.height; ++y) {
        const std::uint8_t* row = bytes.data() + l.pixelOffset + y * l.stride;
        for (std::int64_t x = 0; x < l.width; ++x) {
            const std::uint32_t shift = 8 - bits * (1 + static_cast<std::uint32_t>(x % perByte));
            const std::uint32_t index = (row[x / perByte] >> shift) & valueMask;
            if (index >= l.paletteEntries)
                return "pixel " + number(x) + " of stored row " + number(y) + " uses colour " + number(index) +
                       " of a " + number(l.paletteEntries) + "-entry colour table";
        }
    }
    return std::nullopt;
}

// Fills `l` from the headers; the first reason to refuse, if any.
std::optional<std::string> readLayout(ByteReader& file, BmpLayout& l) {
    const auto magic = file.u16le(0, "file type");
    const auto pixelOffset = file.u32le(10, "pixel data offset");
    const auto infoSize = file.u32le(kFileHeaderSize, "info header size");
    if (!magic || *magic != 0x4D42) return notABmp("no \"BM\" at offset 0");
    if (!pixelOffset || !infoSize) return notABmp("file is shorter than the BMP headers");
    l.infoHeaderSize = *infoSize;
    l.pixelOffset = *pixelOffset;
    if (!knownHeaderSize(*infoSize))
        return notABmp("info header size " + number(*infoSize) + " is none of a BMP's (12, 40, 52, 56, 108, 124)");
    if (!file.contains(kFileHeaderSize, *infoSize))
        return "file ends inside the " + number(*infoSize) + "-byte info header";

    const bool core = *infoSize == kCoreHeaderSize;
    std::uint32_t planes = 0, coloursUsed = 0;
    if (core) {
        l.width = *file.u16le(18, "width");
        l.height = *file.u16le(20, "height");
        planes = *file.u16le(22, "planes");
        l.bitsPerPixel = *file.u16le(24, "bits per pixel");
        l.paletteEntrySize = 3;
    } else {
        l.width = *file.i32le(18, "width");
        const std::int64_t height = *file.i32le(22, "height");
        l.topDown = height < 0;
        l.height = l.topDown ? -height : height;
        planes = *file.u16le(26, "planes");
        l.bitsPerPixel = *file.u16le(28, "bits per pixel");
        l.compression = *file.u32le(30, "compression");
        coloursUsed = *file.u32le(46, "colours used");
    }

    if (l.width <= 0 || l.height <= 0)
        return "picture of " + number(l.width) + " x " + number(l.height) + " pixels has nothing to show";
    if (planes != 1) return notABmp(number(planes) + " colour planes (a BMP has 1)");
    if (!knownDepth(l.bitsPerPixel, core)) return number(l.bitsPerPixel) + " bits per pixel is no BMP depth";
    if (l.compression == kBmpRle8 || l.compression == kBmpRle4)
        return "run-length encoded (" + bmpCompressionName(l.compression) + ") pictures are not supported";
    if (l.compression != kBmpUncompressed && l.compression != kBmpBitFields)
        return "compression " + bmpCompressionName(l.compression) + " is not supported";
    if (l.compression == kBmpBitFields && l.bitsPerPixel != 16 && l.bitsPerPixel != 32)
        return "bit fields with " + number(l.bitsPerPixel) + " bits per pixel (they need 16 or 32)";
    if (static_cast<std::uint64_t>(l.width) * static_cast<std::uint64_t>(l.height) > kMaxBitmapPixels)
        return "picture of " + number(l.width) + " x " + number(l.height) + " pixels is larger than the " +
               number(kMaxBitmapPixels) + " pixels a picture may have";

    // After the info header: bit-field masks (a 40-byte header only; later
    // headers hold them), then the colour table, then the pixels.
    std::int64_t tableStart = kFileHeaderSize + *infoSize;
    if (l.compression == kBmpBitFields) {
        const std::int64_t masksAt = kFileHeaderSize + kInfoHeaderSize;
        if (*infoSize == kInfoHeaderSize) tableStart += 12;
        if (!file.contains(masksAt, 12)) return "file ends inside the bit-field masks";
        const char* names[] = {"red", "green", "blue"};
        for (int i = 0; i < 3; ++i) {
            l.masks[i] = *file.u32le(masksAt + 4 * i, "colour mask");
            if (const auto fault = maskFault(l.masks[i], l.bitsPerPixel))
                return std::string(names[i]) + " mask " + number(l.masks[i]) + " " + *fault;
        }
        if ((l.masks[0] & l.masks[1]) || (l.masks[1] & l.masks[2]) || (l.masks[0] & l.masks[2]))
            return "bit-field masks overlap";
    }
    l.paletteOffset = tableStart;
    std::int64_t tableEntries = coloursUsed;  // an optional table of suggested colours above 8 bits
    if (l.bitsPerPixel <= 8) {
        const std::uint32_t most = 1u << l.bitsPerPixel;
        if (coloursUsed > most)
            return number(coloursUsed) + " colours used, more than a " + number(l.bitsPerPixel) +
                   "-bit picture can index (" + number(most) + ")";
        l.paletteEntries = coloursUsed ? coloursUsed : most;
        tableEntries = l.paletteEntries;
    }
    const std::int64_t tableEnd = tableStart + tableEntries * l.paletteEntrySize;
    if (tableEnd > static_cast<std::int64_t>(file.size()))
        return "colour table of " + number(tableEntries) + " entries runs past the end of the file";
    // Above 8 bits the table only suggests colours and nothing reads it, so
    // some writers count a table they never wrote; the pixels may start
    // inside it.
    const std::int64_t pixelsFrom = l.bitsPerPixel <= 8 ? tableEnd : tableStart;
    if (l.pixelOffset < pixelsFrom)
        return "pixel data offset " + number(l.pixelOffset) +
               " lies inside the headers and colour table (they end at " + number(pixelsFrom) + ")";

    const std::int64_t rowBytes = (l.width * l.bitsPerPixel + 7) / 8;
    l.stride = (l.width * l.bitsPerPixel + 31) / 32 * 4;
    const std::int64_t padded = l.stride * l.height;
    const std::int64_t needed = padded - l.stride + rowBytes;  // the last row needs no padding
    const std::int64_t available = static_cast<std::int64_t>(file.size()) - l.pixelOffset;
    if (available < needed)
        return "pixel data is " + number(available < 0 ? 0 : available) + " bytes, " + number(l.height) +
               " rows of " + number(l.width) + " pixels need " + number(needed);
    l.lastRowUnpadded = available < padded;
    return paletteIndexFault(file, l);
}

}  // namespace

std::string bmpCompressionName(std::uint32_t code) {
    switch (code) {
        case kBmpUncompressed: return "none";
        case kBmpRle8: return "RLE8";
        case kBmpRle4: return "RLE4";
        case kBmpBitFields: return "bit fields";
        case 4: return "JPEG";
        case 5: return "PNG";
        case 6: return "alpha bit fields";
        default: return "code " + number(code);
    }
}

BmpCheck checkBmp(ByteReader& file) {
    BmpCheck check;
    if (auto refusal = readLayout(file, check.layout)) check.verdict = failure(std::move(*refusal));
    return check;
}

Outcome importableSize(std::uint32_t width, std::uint32_t height) {
    const std::uint32_t side = kMaxImportedBitmapSide;
    if (width <= side && height <= side) return Done{};
    return failure("picture of " + number(width) + " x " + number(height) + " pixels is larger than the " +
                   number(side) + " x " + number(side) + " the viewers import");
}

}  // namespace kelvane::platform
