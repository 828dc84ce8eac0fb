#include "textures/texture_store.h"

#include "common/bmp_rows.h"
#include "textures/s3tc.h"

namespace kelvane {

// The buffer is made and zeroed once, before any window exists, and never
// replaced: drawing holds on to its address.
TextureStore::TextureStore(Generation g)
    : generation(g), pixels(g == Generation::Legacy ? kPixelBytesLegacy : kPixelBytesCurrent, 0) {}

const char* describeSlotFault(SlotFault fault) {
    switch (fault) {
        case SlotFault::None: return "decodable";
        case SlotFault::OutOfRange: return "no such slot";
        case SlotFault::NotDxt: return "format is neither DXT1 (352) nor DXT3 (353)";
        case SlotFault::TooLarge: return "image is too large for the pixel buffer";
        case SlotFault::DataTooShort: return "image data is shorter than its width and height need";
    }
    return "unknown";
}

SlotFault slotFault(const TextureStore& store, std::uint32_t slot) {
    if (slot >= kTextureSlots) return SlotFault::OutOfRange;
    const std::int32_t code = store.formatCode[slot];
    if (code != kFormatDxt1 && code != kFormatDxt3) return SlotFault::NotDxt;
    const std::uint32_t w = store.width[slot];
    const std::uint32_t h = store.height[slot];
    if (dxtDecodedPixels(w, h) > store.pixelCapacity()) return SlotFault::TooLarge;
    const std::uint32_t blockBytes = code == kFormatDxt1 ? kDxt1BlockBytes : kDxt3BlockBytes;
    if (dxtDataBytes(w, h, blockBytes) > store.imageData[slot].size()) return SlotFault::DataTooShort;
    return SlotFault::None;
}

void TextureStore::decodeSlot() {
    if (slotFault(*this, currentSlot) != SlotFault::None) return;
    const std::uint32_t slot = currentSlot;
    if (formatCode[slot] == kFormatDxt1)
        decodeDxt1(width[slot], height[slot], imageData[slot].data(), pixels.data());
    else
        decodeDxt3(width[slot], height[slot], imageData[slot].data(), pixels.data());
}

void TextureStore::importPixels(std::uint32_t w, std::uint32_t h, std::span<const std::uint8_t> bgrRows) {
    slotCount = 0;
    currentSlot = 0;
    // Slot 0 now holds the picture; an earlier archive's code and data must not
    // be decoded later with the picture's size.
    formatCode[0] = 0;
    imageData[0] = {};
    width[0] = w;
    height[0] = h;
    if (h == 0 || w == 0) return;  // nothing to convert (and no empty rows to walk)

    const std::uint64_t rowBytes = bmpRowStride24(w);
    const bool fits = std::uint64_t{w} * h <= pixelCapacity();
    if (!fits || bgrRows.size() < rowBytes * h) {
        width[0] = 0;
        height[0] = 0;
        return;
    }
    // The first row in memory is the bottom of the picture.
    for (std::uint32_t r = 0; r < h; ++r) {
        const std::uint8_t* in = bgrRows.data() + r * rowBytes;
        std::uint8_t* out = pixels.data() + (std::size_t{h} - 1 - r) * w * 4;
        for (std::uint32_t p = 0; p < w; ++p, in += 3, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = 255;
        }
    }
}

ShownImage shownImage(const TextureStore& store) {
    const std::uint32_t slot = store.currentSlot;
    if (slot >= kTextureSlots) return {};
    const std::uint32_t w = store.width[slot];
    const std::uint32_t h = store.height[slot];
    if (std::uint64_t{w} * h > store.pixelCapacity()) return {};
    const std::int32_t code = store.formatCode[slot];
    if ((code == kFormatDxt1 || code == kFormatDxt3) && slotFault(store, slot) != SlotFault::None) return {};
    return {w, h, store.pixels.data()};
}

}  // namespace kelvane
