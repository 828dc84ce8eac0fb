#include "tests/builders/bmp_builder.h"

namespace kelvane::test {

namespace {
void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}
}  // namespace

std::vector<std::uint8_t> buildBmp(const BmpPicture& p) {
    const bool core = p.infoHeaderSize == 12;
    std::vector<std::uint8_t> info;
    if (core) {
        put32(info, 12);
        put16(info, static_cast<std::uint32_t>(p.width));
        put16(info, static_cast<std::uint32_t>(p.height));
        put16(info, 1);
        put16(info, p.bitsPerPixel);
    } else {
        put32(info, p.infoHeaderSize);
        put32(info, static_cast<std::uint32_t>(p.width));
        put32(info, static_cast<std::uint32_t>(p.height));
        put16(info, 1);
        put16(info, p.bitsPerPixel);
        put32(info, p.compression);
        put32(info, 0);  // image size: may be 0 for uncompressed rows
        put32(info, 2835);
        put32(info, 2835);
        put32(info, p.coloursUsed.value_or(static_cast<std::uint32_t>(p.palette.size())));
        put32(info, 0);
        // Later headers hold the masks themselves (red, green, blue, alpha).
        for (std::uint32_t mask : p.masks)
            if (p.infoHeaderSize > 40) put32(info, mask);
        info.resize(p.infoHeaderSize, 0);
        if (p.compression == 3 && p.infoHeaderSize == 40)
            for (std::uint32_t mask : p.masks) put32(info, mask);
    }
    for (const auto& colour : p.palette) {
        info.insert(info.end(), colour.begin(), colour.end());
        if (!core) info.push_back(0);
    }
    std::vector<std::uint8_t> pixels;
    for (std::size_t r = 0; r < p.rows.size(); ++r) {
        pixels.insert(pixels.end(), p.rows[r].begin(), p.rows[r].end());
        if (p.padLastRow || r + 1 < p.rows.size()) pixels.resize((pixels.size() + 3) & ~std::size_t{3}, 0);
    }
    std::vector<std::uint8_t> file{'B', 'M'};
    const auto offset = static_cast<std::uint32_t>(14 + info.size());
    put32(file, offset + static_cast<std::uint32_t>(pixels.size()));
    put32(file, 0);
    put32(file, offset);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

}  // namespace kelvane::test
