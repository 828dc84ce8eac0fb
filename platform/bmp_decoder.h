#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "common/byte_reader.h"
#include "platform/bmp_header.h"
#include "platform/platform.h"

namespace kelvane::platform {

// Decodes a BMP file that checkBmp accepts into bottom-up 24-bit rows, with
// stb_image; nothing, and why in `reason`, for any other file.
std::optional<Bitmap> decodeBmp(ByteReader& file, std::string* reason);

// The same for a file on disk; `reason` also says why it cannot be read.
std::optional<Bitmap> loadBmpFile(const std::filesystem::path& path, std::string* reason);

}  // namespace kelvane::platform
