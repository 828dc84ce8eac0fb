#include "tests/builders/bmp_builder.h"

#include "common/endian.h"

namespace kelvane::test {

std::vector<std::uint8_t> buildBmp(const BmpPicture& p) {
    const bool core = p.infoHeaderSize == 12;
    const auto width = static_cast<std::uint32_t>(p.width), height = static_cast<std::uint32_t>(p.height);
    std::vector<std::uint8_t> info;
    if (core) {
        appendLe32(info, 12);
        for (std::uint32_t field : {width, height, 1u, std::uint32_t{p.bitsPerPixel}})
            appendLe16(info, static_cast<std::uint16_t>(field));
    } else {
        // Size, width, height, planes and depth, compression, image size (may be 0 for
        // uncompressed rows), resolutions, colours used, colours important.
        const std::uint32_t colours = p.coloursUsed.value_or(static_cast<std::uint32_t>(p.palette.size()));
        for (std::uint32_t field : {p.infoHeaderSize, width, height, 1u | std::uint32_t{p.bitsPerPixel} << 16,
                                    p.compression, 0u, 2835u, 2835u, colours, 0u})
            appendLe32(info, field);
        // Later headers hold the masks themselves (red, green, blue, alpha); bit
        // fields after a 40-byte header follow it.
        if (p.infoHeaderSize > 40 || p.compression == 3)
            for (std::uint32_t mask : p.masks) appendLe32(info, mask);
        if (info.size() < p.infoHeaderSize) info.resize(p.infoHeaderSize, 0);
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
    for (std::uint32_t field : {offset + static_cast<std::uint32_t>(pixels.size()), 0u, offset}) appendLe32(file, field);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

}  // namespace kelvane::test
