#pragma once

#include <filesystem>
#include <optional>

#include "platform/platform.h"

namespace kelvane::platform::fltk {

// Converts top-down pixels of 1 (grey), 2 (grey, alpha), 3 (RGB) or 4 (RGBA)
// bytes, rows `lineBytes` apart (0: packed), to a bottom-up 24-bit bitmap.
std::optional<Bitmap> bottomUpBgr(const unsigned char* topDown, int width, int height, int depth, int lineBytes);

// A BMP file read with FLTK, as a bottom-up 24-bit bitmap. Run-length-encoded
// files are refused: FLTK mis-decodes some of them.
std::optional<Bitmap> loadBmpFile(const std::filesystem::path& path);

}  // namespace kelvane::platform::fltk
