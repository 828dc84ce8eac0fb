#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "textures/texture_store.h"

namespace kelvane {

// What became of an archive's images written out one PNG each.
struct ImagesExported {
    int written = 0;
    std::vector<std::string> notDecoded;                 // "slot 2 (format 123, 8 x 8) cannot be decoded: ..."
    std::vector<std::filesystem::path> notWritten;       // files that could not be written
    bool complete() const { return notDecoded.empty() && notWritten.empty(); }
};

// The file an archive image is written to: NN-name.png, the slot number
// keeping names apart; letters, digits, '-', '_' and '.' kept, anything else
// (path separators, Latin-1 letters, control bytes) becomes '_'.
std::string imageFileName(std::uint32_t slot, const std::string& name);

// Writes every decodable image of the store's archive into `folder` (made
// if missing) as RGBA PNG, alpha kept, decoded as the viewer decodes them;
// the store itself is left as it is.
ImagesExported exportArchiveImages(const TextureStore& store, const std::filesystem::path& folder);

}  // namespace kelvane
