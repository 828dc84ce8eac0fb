#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "common/result.h"

namespace kelvane {

// Writes `bytes` as the file `path`, whole or not at all: into a temporary
// file beside it, then renamed over it, so a reader (or a crash) never sees
// half a file and a failed write leaves any earlier file as it was. The
// reason, with the system's words, on failure.
Outcome replaceFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace kelvane
