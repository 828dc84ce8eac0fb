#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace kelvane::writers {

// Writes bytes to a file, replacing it; throws when it cannot.
void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace kelvane::writers
