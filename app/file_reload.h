#pragma once

#include <filesystem>

#include "common/file_kind.h"
#include "app/viewer.h"

namespace kelvane {

// Reads a followed file again after it changed on disk, into fresh stores,
// and puts it in place only when it read cleanly, keeping the view (turn,
// zoom, pan), each object's shown state and "Light" when the model has as
// many objects as before, and the chosen texture (or "Blank") when that slot
// still exists. A file that does not read cleanly changes nothing but the
// title, which says why. Returns true when the picture may have changed.
bool reloadFile(Viewer& viewer, FileKind kind, const std::filesystem::path& path);

}  // namespace kelvane
