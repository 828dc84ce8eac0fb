#include "textures/slot_images.h"

#include <algorithm>

#include "textures/s3tc.h"

namespace kelvane {

namespace {

// Latin-1 letters in one case: ASCII, and the accented capitals 0xC0-0xDE
// but the multiplication sign 0xD7.
unsigned char foldCase(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<unsigned char>(c + 0x20);
    return c;
}

std::string_view untilNul(std::string_view text) { return text.substr(0, text.find('\0')); }

bool sameName(std::string_view a, std::string_view b) {
    a = untilNul(a), b = untilNul(b);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldCase(static_cast<unsigned char>(x)) == foldCase(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::optional<std::uint32_t> slotNamed(const TextureStore& store, std::string_view name) {
    if (untilNul(name).empty()) return std::nullopt;
    const std::uint32_t listed = std::min(store.slotCount, archiveCapacity(store.generation));
    for (std::uint32_t slot = 0; slot < listed; ++slot)
        if (sameName(store.name[slot], name)) return slot;
    return std::nullopt;
}

const DecodedImage* SlotImages::get(const TextureStore& store, std::uint32_t slot) {
    if (revision_ != store.revision) {
        revision_ = store.revision;
        images_ = {};
        tried_ = {};
    }
    if (slot >= kTextureSlots) return nullptr;
    if (!tried_[slot]) {
        tried_[slot] = true;
        if (slotFault(store, slot) == SlotFault::None) {
            const std::uint32_t w = store.width[slot], h = store.height[slot];
            DecodedImage image{w, h, std::vector<std::uint8_t>(dxtDecodedPixels(w, h) * 4), nextRevision()};
            if (store.formatCode[slot] == kFormatDxt1)
                decodeDxt1(w, h, store.imageData[slot].data(), image.rgba.data());
            else
                decodeDxt3(w, h, store.imageData[slot].data(), image.rgba.data());
            images_[slot] = std::move(image);
        }
    }
    return images_[slot] ? &*images_[slot] : nullptr;
}

}  // namespace kelvane
