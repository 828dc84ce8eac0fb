#pragma once

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <string>

namespace kelvane {

// The three kinds of file the viewer opens, each with its load command: a
// model, an FSH archive, and a picture (BMP, PNG or TGA) standing in for the
// archive, which "Load BMP" opens.
enum class FileKind { Ebo, Fsh, Picture };

// The kind a file is opened as, by its extension in any case; nothing for
// any other file.
inline std::optional<FileKind> fileKindOf(const std::filesystem::path& path) {
    // As UTF-8: a narrow string() of a wide Windows path can fail on names
    // the code page cannot hold.
    const std::u8string name = path.extension().u8string();
    std::string extension(name.begin(), name.end());
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return c < 0x80 ? static_cast<char>(std::tolower(c)) : static_cast<char>(c); });
    if (extension == ".ebo") return FileKind::Ebo;
    if (extension == ".fsh") return FileKind::Fsh;
    if (extension == ".bmp" || extension == ".png" || extension == ".tga") return FileKind::Picture;
    return std::nullopt;
}

// The FSH archive beside a model with the model's name ("head.ebo" and
// "head.fsh", the extension in any case); nothing when there is none.
std::optional<std::filesystem::path> companionArchive(const std::filesystem::path& model);

}  // namespace kelvane
