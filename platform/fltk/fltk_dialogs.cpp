#include "platform/fltk/fltk_dialogs.h"

#include <FL/Fl_Native_File_Chooser.H>
#include <FL/fl_ask.H>

#include <cctype>
#include <system_error>

namespace kelvane::platform::fltk {

std::string withNewlines(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
        } else if (i + 1 >= text.size() || text[i + 1] != '\n') {
            out += '\n';
        }
    }
    return out;
}

void showMessageBox(const std::string& caption, const std::string& text) {
    fl_message_title(caption.c_str());
    fl_message("%s", withNewlines(text).c_str());
}

std::string chooserFilter(const FileDialogRequest& request) {
    std::string pattern = request.pattern.empty() ? "*" : request.pattern;
    const auto dot = pattern.rfind("*.");
    if (dot == 0 && pattern.find_first_of("{,}") == std::string::npos) {
        std::string upper = pattern.substr(2), lower = upper;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (upper != lower) pattern = "*.{" + upper + "," + lower + "}";
    }
    return request.filterName.empty() ? pattern : request.filterName + "\t" + pattern;
}

std::optional<std::filesystem::path> openFileDialog(const FileDialogRequest& request) {
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_FILE);
    chooser.title(request.title.c_str());
    const std::string filter = chooserFilter(request);
    chooser.filter(filter.c_str());
    std::string directory, file;
    if (!request.initialPath.empty()) {
        std::error_code ec;
        if (std::filesystem::is_directory(request.initialPath, ec)) {
            directory = request.initialPath.string();
        } else {
            directory = request.initialPath.parent_path().string();
            file = request.initialPath.filename().string();
        }
    }
    if (!directory.empty()) chooser.directory(directory.c_str());
    if (!file.empty()) chooser.preset_file(file.c_str());
    if (chooser.show() != 0 || !chooser.filename() || !*chooser.filename()) return std::nullopt;
    return std::filesystem::path(chooser.filename());
}

}  // namespace kelvane::platform::fltk
