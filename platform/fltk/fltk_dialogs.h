#pragma once

// Modal message box and open-file dialog.

#include <filesystem>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace kelvane::platform::fltk {

void showMessageBox(const std::string& caption, const std::string& text);
std::optional<std::filesystem::path> openFileDialog(const FileDialogRequest& request);
// The save dialog proposes the initial path's name in its folder and asks
// before replacing a file; the folder chooser starts on the initial path.
std::optional<std::filesystem::path> saveFileDialog(const FileDialogRequest& request);
std::optional<std::filesystem::path> chooseFolderDialog(const FileDialogRequest& request);

// The chooser's filter for a request: "EBO File\t*.{EBO,ebo}", so that
// either case of the extension matches.
std::string chooserFilter(const FileDialogRequest& request);
// Where the chooser opens: the folder of the last path and that path as the
// preset file (absolute), or the folder itself when the path is one.
struct ChooserStart {
    std::string directory;
    std::string presetFile;
};
ChooserStart chooserStart(const FileDialogRequest& request);
// A chosen name typed without an extension gets the request's default one,
// as the Windows dialog appends it: "head" becomes "head.EBO", or "head.ebo"
// when only that spelling exists (names here are case-sensitive). A name
// that exists as chosen stays as it is.
std::filesystem::path withDefaultExtension(const std::filesystem::path& chosen, const std::string& defaultExtension);
// Message text with its carriage-return line breaks as newlines.
std::string withNewlines(const std::string& text);

}  // namespace kelvane::platform::fltk
