#pragma once

// PNG and TGA pictures, which may carry alpha: a check of ours on each
// file's headers and extent, then stb_image for the pixels. Every backend
// and kelvane-inspect decode them the same way.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/byte_reader.h"
#include "common/result.h"

namespace kelvane::platform {

// A picture as drawing takes it: RGBA bytes, the top row first, rows of
// exactly width pixels.
struct RgbaPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba;
};

// Why stb_image may not see these bytes as a PNG (or a TGA); done when the
// signature, header and chunk layout (the header, colour map and pixel
// extent) are sound and the picture is no larger than the viewers import.
Outcome pngCheck(ByteReader& file);
Outcome tgaCheck(ByteReader& file);

enum class PictureFormat { Png, Tga };

// Decodes a PNG or TGA file after its check; why not when it is refused.
Result<RgbaPicture> decodeRgbaPicture(ByteReader& file, PictureFormat format);
// The same for a file on disk, a TGA by its extension (in any case), else a PNG.
Result<RgbaPicture> loadRgbaPictureFile(const std::filesystem::path& path);

}  // namespace kelvane::platform
