#pragma once

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <string>

namespace kelvane {

// The three kinds of file the viewer opens, each with its load command.
enum class FileKind { Ebo, Fsh, Bmp };

// The kind a file is opened as, by its extension in any case; nothing for
// any other file.
inline std::optional<FileKind> fileKindOf(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".ebo") return FileKind::Ebo;
    if (extension == ".fsh") return FileKind::Fsh;
    if (extension == ".bmp") return FileKind::Bmp;
    return std::nullopt;
}

}  // namespace kelvane
