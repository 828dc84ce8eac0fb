#include "writers/dxt_encoder.h"

#include <algorithm>
#include <stdexcept>

#include "common/endian.h"

namespace kelvane::writers {
namespace {

// Channels of a 5:6:5 word, widened as a float reference (not the decoder's
// integer arithmetic): good enough to choose indices.
std::array<float, 3> widen(std::uint16_t c) {
    return {(c >> 11) * 255.0f / 31, ((c >> 5) & 63) * 255.0f / 63, (c & 31) * 255.0f / 31};
}

// Endpoints and indices of one block's colours, four-colour mode.
void encodeColours(const std::array<std::array<std::uint8_t, 4>, 16>& px, std::uint16_t& c0, std::uint16_t& c1,
                   std::array<std::uint8_t, 16>& indices) {
    std::array<std::uint8_t, 3> lo{255, 255, 255}, hi{0, 0, 0};
    for (const auto& p : px)
        for (int ch = 0; ch < 3; ++ch) {
            lo[ch] = std::min(lo[ch], p[ch]);
            hi[ch] = std::max(hi[ch], p[ch]);
        }
    c0 = rgb565(hi[0], hi[1], hi[2]);
    c1 = rgb565(lo[0], lo[1], lo[2]);
    if (c0 < c1) std::swap(c0, c1);
    indices.fill(0);
    if (c0 == c1) return;  // one colour: index 0 everywhere
    const auto a = widen(c0), b = widen(c1);
    std::array<std::array<float, 3>, 4> palette{};
    for (int ch = 0; ch < 3; ++ch) {
        palette[0][ch] = a[ch];
        palette[1][ch] = b[ch];
        palette[2][ch] = (2 * a[ch] + b[ch]) / 3;
        palette[3][ch] = (a[ch] + 2 * b[ch]) / 3;
    }
    for (int k = 0; k < 16; ++k) {
        float best = 1e30f;
        for (std::uint8_t e = 0; e < 4; ++e) {
            float d = 0;
            for (int ch = 0; ch < 3; ++ch) d += (px[k][ch] - palette[e][ch]) * (px[k][ch] - palette[e][ch]);
            if (d < best) {
                best = d;
                indices[k] = e;
            }
        }
    }
}

// The 16 pixels of block (bx, by); pixels outside the image repeat the edge.
std::array<std::array<std::uint8_t, 4>, 16> blockPixels(std::uint32_t width, std::uint32_t height,
                                                        const std::vector<std::uint8_t>& rgba, std::uint32_t bx,
                                                        std::uint32_t by) {
    std::array<std::array<std::uint8_t, 4>, 16> px{};
    for (std::uint32_t k = 0; k < 16; ++k) {
        const std::uint32_t x = std::min(4 * bx + k % 4, width - 1);
        const std::uint32_t y = std::min(4 * by + k / 4, height - 1);
        for (int ch = 0; ch < 4; ++ch) px[k][ch] = rgba[(std::size_t{y} * width + x) * 4 + ch];
    }
    return px;
}

template <bool Dxt3>
std::vector<std::uint8_t> encode(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& rgba) {
    if (rgba.size() < std::size_t{width} * height * 4) throw std::invalid_argument("encode: too few pixels");
    std::vector<std::uint8_t> out;
    if (width == 0 || height == 0) return out;
    for (std::uint32_t by = 0; by < (height + 3) / 4; ++by)
        for (std::uint32_t bx = 0; bx < (width + 3) / 4; ++bx) {
            const auto px = blockPixels(width, height, rgba, bx, by);
            std::uint16_t c0, c1;
            std::array<std::uint8_t, 16> indices;
            encodeColours(px, c0, c1, indices);
            if constexpr (Dxt3) {
                std::array<std::uint8_t, 16> alphas;
                for (int k = 0; k < 16; ++k) alphas[k] = static_cast<std::uint8_t>((px[k][3] + 8) / 17);
                const auto block = dxt3Block(alphas, c0, c1, indices);
                out.insert(out.end(), block.begin(), block.end());
            } else {
                const auto block = dxt1Block(c0, c1, indices);
                out.insert(out.end(), block.begin(), block.end());
            }
        }
    return out;
}

}  // namespace

std::uint16_t rgb565(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

std::array<std::uint8_t, 8> dxt1Block(std::uint16_t colour0, std::uint16_t colour1,
                                      const std::array<std::uint8_t, 16>& indices) {
    std::uint32_t word = 0;
    for (int k = 0; k < 16; ++k) word |= std::uint32_t{indices[k] & 3u} << (2 * k);
    std::array<std::uint8_t, 8> block;
    storeLe16(&block[0], colour0);
    storeLe16(&block[2], colour1);
    storeLe32(&block[4], word);
    return block;
}

std::array<std::uint8_t, 16> dxt3Block(const std::array<std::uint8_t, 16>& alphas, std::uint16_t colour0,
                                       std::uint16_t colour1, const std::array<std::uint8_t, 16>& indices) {
    std::uint64_t alphaWord = 0;
    for (int k = 0; k < 16; ++k) alphaWord |= std::uint64_t{alphas[k] & 15u} << (4 * k);
    std::array<std::uint8_t, 16> block;
    storeLe64(&block[0], alphaWord);
    const auto colour = dxt1Block(colour0, colour1, indices);
    std::copy(colour.begin(), colour.end(), block.begin() + 8);
    return block;
}

std::vector<std::uint8_t> encodeDxt1(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& rgba) {
    return encode<false>(width, height, rgba);
}
std::vector<std::uint8_t> encodeDxt3(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& rgba) {
    return encode<true>(width, height, rgba);
}

}  // namespace kelvane::writers
