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

// Reads the picture at `path`, by its extension: nothing, with the reason in
// `reason`, when it cannot be read, or when a bitmap's rows do not hold
// every byte a 24-bit bottom-up picture of its size needs (so the import
// cannot read past them).
std::optional<Picture> readPicture(const Viewer& viewer, const std::filesystem::path& path, std::string* reason);

// Why the viewers do not import a picture of this size; nothing when they do.
std::optional<std::string> importRefusal(const Picture& picture);

// Puts the picture into slot 0 of the store, the shown slot.
void importPicture(TextureStore& store, const Picture& picture);

}  // namespace kelvane
