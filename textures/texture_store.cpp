#include "textures/texture_store.h"

#include <algorithm>

#include "common/bmp_rows.h"
#include "textures/s3tc.h"

namespace kelvane {

// Each store makes and zeroes its own buffer.
TextureStore::TextureStore(Generation g)
    : generation(g), pixels(traits(g).pixelBytes, 0) {}

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
    revision = nextRevision();
    if (slotFault(*this, currentSlot) != SlotFault::None) return;
    const std::uint32_t slot = currentSlot;
    if (formatCode[slot] == kFormatDxt1)
        decodeDxt1(width[slot], height[slot], imageData[slot].data(), pixels.data());
    else
        decodeDxt3(width[slot], height[slot], imageData[slot].data(), pixels.data());
}

namespace {
// Makes slot 0 the shown slot, holding a w x h picture: true when its pixels
// are to be copied in; false, with slot 0 at 0 x 0 unless the picture is
// empty, when fewer than `needed` bytes were `given` or it does not fit.
bool pictureIntoSlot0(TextureStore& store, std::uint32_t w, std::uint32_t h, std::uint64_t needed,
                      std::size_t given) {
    store.revision = nextRevision();
    store.slotCount = 0;
    store.currentSlot = 0;
    // Slot 0 now holds the picture; an earlier archive's code and data must not
    // be decoded later with the picture's size.
    store.formatCode[0] = 0;
    store.imageData[0] = {};
    store.width[0] = w;
    store.height[0] = h;
    if (h == 0 || w == 0) return false;  // nothing to convert (and no empty rows to walk)
    if (std::uint64_t{w} * h <= store.pixelCapacity() && given >= needed) return true;
    store.width[0] = 0;
    store.height[0] = 0;
    return false;
}
}  // namespace

void TextureStore::importRgba(std::uint32_t w, std::uint32_t h, std::span<const std::uint8_t> rgba) {
    if (!pictureIntoSlot0(*this, w, h, std::uint64_t{w} * h * 4, rgba.size())) return;
    std::copy_n(rgba.begin(), std::size_t{w} * h * 4, pixels.begin());
}

void TextureStore::importPixels(std::uint32_t w, std::uint32_t h, std::span<const std::uint8_t> bgrRows) {
    const std::uint64_t rowBytes = bmpRowStride24(w);
    if (!pictureIntoSlot0(*this, w, h, rowBytes * h, bgrRows.size())) return;
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
