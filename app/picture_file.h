#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "app/viewer.h"
#include "platform/picture_decoder.h"

namespace kelvane {

// A picture read whole, as the texture store imports it: a BMP as the
// platform loads bitmaps (24-bit bottom-up rows), a PNG or TGA with its alpha.
using Picture = std::variant<platform::Bitmap, platform::RgbaPicture>;

// Reads the picture at `path`, by its extension; why not when it cannot be
// read, or when a bitmap's rows do not hold every byte a 24-bit bottom-up
// picture of its size needs (so the import cannot read past them).
Result<Picture> readPicture(const Viewer& viewer, const std::filesystem::path& path);

// Done when the viewers import a picture of this size; why not otherwise.
Outcome importableSize(const Picture& picture);

// Puts the picture into slot 0 of the store, the shown slot.
void importPicture(TextureStore& store, const Picture& picture);

}  // namespace kelvane
