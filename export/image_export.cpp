#include "export/image_export.h"

#include <cstdio>

#include "export/image_writer.h"
#include "textures/slot_images.h"

namespace kelvane {

std::string imageFileName(std::uint32_t slot, const std::string& name) {
    std::string safe;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        const bool keep = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '-' ||
                          u == '_' || (u == '.' && !safe.empty());
        safe += keep ? c : '_';
    }
    if (safe.empty()) safe = "image";
    char number[16];
    std::snprintf(number, sizeof number, "%02u-", slot);
    return number + safe + ".png";
}

ImagesExported exportArchiveImages(const TextureStore& store, const std::filesystem::path& folder) {
    ImagesExported result;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    SlotImages decoded;
    for (std::uint32_t slot = 0; slot < store.slotCount && slot < kTextureSlots; ++slot) {
        const DecodedImage* image = decoded.get(store, slot);
        if (!image) {
            result.notDecoded.push_back("slot " + std::to_string(slot) + " (format " +
                                        std::to_string(store.formatCode[slot]) + ", " + std::to_string(store.width[slot]) +
                                        " x " + std::to_string(store.height[slot]) +
                                        ") cannot be decoded: " + describeSlotFault(slotFault(store, slot)));
        } else if (image->width == 0 || image->height == 0) {
            result.notDecoded.push_back("slot " + std::to_string(slot) + ": empty image");
        } else if (const auto target = folder / imageFileName(slot, store.name[slot]);
                   !writePng(target, image->width, image->height, image->rgba.data())) {
            result.notWritten.push_back(target);
        } else {
            ++result.written;
        }
    }
    return result;
}

}  // namespace kelvane
