#pragma once

// Paths and UTF-8 text. Command lines are read as UTF-8 on every system (the
// Windows programs read their wide command line), and paths are printed back
// the same way, so a name outside the local code page survives both ways.

#include <filesystem>
#include <string>

namespace kelvane {

inline std::filesystem::path pathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8Text(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace kelvane
