#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "app/file_kind.h"
#include "app/viewer.h"

namespace kelvane {

// Handles a menu command (id in the low 16 bits of wParam). Returns the
// window procedure's result: 1, or 0 when "Load BMP" cannot load the
// chosen picture.
std::intptr_t handleCommand(Viewer& viewer, std::uintptr_t wParam);

// Opens a file named on the command line or dropped on the window as its
// load command does ("Load EBO" for .ebo, and so on, in any case) with the
// file in place of the dialog's answer. False, doing nothing, for any other
// kind of file.
bool openFile(Viewer& viewer, const std::filesystem::path& path);

// Marks slot 0 alone among the archive's images and (current generation)
// the blank slot: what an archive load or a picture import shows.
void checkFirstSlotOnly(TextureStore& store);

// Reads a BMP picture through the platform, whole: nothing, with the reason
// in `reason`, when it cannot be read or its rows do not hold every byte a
// 24-bit bottom-up picture of its size needs (so the import cannot read
// past them).
std::optional<platform::Bitmap> readPicture(const Viewer& viewer, const std::filesystem::path& path,
                                            std::string* reason);

}  // namespace kelvane
