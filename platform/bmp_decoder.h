#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "common/byte_reader.h"
#include "platform/bmp_header.h"
#include "platform/platform.h"

namespace kelvane::platform {

// Decodes a BMP file that checkBmp accepts into bottom-up 24-bit rows, with
// stb_image; why not for any other file.
Result<Bitmap> decodeBmp(ByteReader& file);

// The same for a file on disk, which may also fail to be read.
Result<Bitmap> loadBmpFile(const std::filesystem::path& path);

}  // namespace kelvane::platform
