#include "textures/s3tc.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstring>

#include "common/endian.h"

namespace kelvane {
namespace {

// A pixel as the 32-bit value whose memory bytes are red, green, blue, alpha.
constexpr std::uint32_t packRgba(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
    if constexpr (std::endian::native == std::endian::little)
        return r | (g << 8) | (b << 16) | (a << 24);
    else
        return (r << 24) | (g << 16) | (b << 8) | a;
}

template <int Bits, std::uint32_t (*Expand)(std::uint32_t)>
constexpr std::array<std::uint8_t, (1 << Bits)> expansionTable() {
    std::array<std::uint8_t, (1 << Bits)> table{};
    for (std::uint32_t v = 0; v < table.size(); ++v) table[v] = static_cast<std::uint8_t>(Expand(v));
    return table;
}
constexpr auto kExpand5 = expansionTable<5, expand5>();
constexpr auto kExpand6 = expansionTable<6, expand6>();

// DXT3 alpha nibble a becomes 17 * a, in the alpha byte of a pixel.
constexpr std::array<std::uint32_t, 16> kAlphaBits = [] {
    std::array<std::uint32_t, 16> bits{};
    for (std::uint32_t a = 0; a < 16; ++a) bits[a] = packRgba(0, 0, 0, 17 * a);
    return bits;
}();

struct Rgb {
    std::uint32_t r, g, b;
};
inline Rgb expandColour(std::uint16_t c) { return {kExpand5[c >> 11], kExpand6[(c >> 5) & 63], kExpand5[c & 31]}; }

// The four palette entries of a block, computed once per block. DXT1 uses
// three-colour mode (midpoint plus transparent black) unless colour0 >
// colour1; DXT3 always interpolates by thirds and leaves alpha to the
// per-pixel nibbles.
template <bool Dxt3>
inline void makePalette(std::uint16_t word0, std::uint16_t word1, std::uint32_t palette[4]) {
    const Rgb c0 = expandColour(word0);
    const Rgb c1 = expandColour(word1);
    const std::uint32_t alpha = Dxt3 ? 0 : 255;
    palette[0] = packRgba(c0.r, c0.g, c0.b, alpha);
    palette[1] = packRgba(c1.r, c1.g, c1.b, alpha);
    if (Dxt3 || word0 > word1) {
        palette[2] = packRgba((2 * c0.r + c1.r) / 3, (2 * c0.g + c1.g) / 3, (2 * c0.b + c1.b) / 3, alpha);
        palette[3] = packRgba((c0.r + 2 * c1.r) / 3, (c0.g + 2 * c1.g) / 3, (c0.b + 2 * c1.b) / 3, alpha);
    } else {
        palette[2] = packRgba((c0.r + c1.r) / 2, (c0.g + c1.g) / 2, (c0.b + c1.b) / 2, alpha);
        palette[3] = 0;
    }
}

// Pixel k of the block is at column k % 4, row k / 4; columns at or past
// `columns` fall outside the image and are dropped.
template <bool Dxt3, bool FullWidth>
inline void storeBlock(const std::uint32_t palette[4], std::uint32_t indices, std::uint64_t alphas,
                       std::uint32_t columns, std::uint8_t* row, std::size_t rowBytes) {
    for (std::uint32_t y = 0; y < 4; ++y, row += rowBytes) {
        const std::uint32_t count = FullWidth ? 4 : columns;
        for (std::uint32_t x = 0; x < count; ++x) {
            const std::uint32_t k = 4 * y + x;
            std::uint32_t pixel = palette[(indices >> (2 * k)) & 3];
            if constexpr (Dxt3) pixel |= kAlphaBits[(alphas >> (4 * k)) & 15];
            std::memcpy(row + 4 * x, &pixel, 4);
        }
    }
}

template <bool Dxt3>
inline void decodeBlock(const std::uint8_t* block, std::uint32_t x0, std::uint32_t y0, std::uint32_t width,
                        std::uint8_t* destination) {
    if (x0 >= width) return;
    const std::uint8_t* colour = Dxt3 ? block + 8 : block;
    std::uint32_t palette[4];
    makePalette<Dxt3>(loadLe16(colour), loadLe16(colour + 2), palette);
    const std::uint32_t indices = loadLe32(colour + 4);
    const std::uint64_t alphas = Dxt3 ? loadLe64(block) : 0;
    const std::size_t rowBytes = std::size_t{width} * 4;
    std::uint8_t* row = destination + std::size_t{y0} * rowBytes + std::size_t{x0} * 4;
    const std::uint32_t columns = width - x0;
    if (columns >= 4)
        storeBlock<Dxt3, true>(palette, indices, alphas, 4, row, rowBytes);
    else
        storeBlock<Dxt3, false>(palette, indices, alphas, columns, row, rowBytes);
}

template <bool Dxt3>
void decodeImage(std::uint32_t width, std::uint32_t height, const std::uint8_t* source, std::uint8_t* destination) {
    constexpr std::size_t blockBytes = Dxt3 ? kDxt3BlockBytes : kDxt1BlockBytes;
    const std::uint64_t across = dxtBlocksAcross(width);
    const std::uint64_t down = dxtBlocksDown(height);
    if (across == 0 || down == 0) return;  // an empty side writes nothing (and must not walk 2^30 rows)
    for (std::uint64_t by = 0; by < down; ++by)
        for (std::uint64_t bx = 0; bx < across; ++bx, source += blockBytes)
            decodeBlock<Dxt3>(source, static_cast<std::uint32_t>(4 * bx), static_cast<std::uint32_t>(4 * by), width,
                              destination);
}

}  // namespace

void decodeDxt1(std::uint32_t width, std::uint32_t height, const std::uint8_t* source, std::uint8_t* destination) {
    decodeImage<false>(width, height, source, destination);
}
void decodeDxt3(std::uint32_t width, std::uint32_t height, const std::uint8_t* source, std::uint8_t* destination) {
    decodeImage<true>(width, height, source, destination);
}

}  // namespace kelvane
