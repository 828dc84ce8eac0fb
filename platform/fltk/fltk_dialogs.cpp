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
    // FLTK's button says "Close" by default; the box has an OK button.
    const char* const closeLabel = fl_close;
    fl_close = "OK";
    fl_message("%s", withNewlines(text).c_str());
    fl_close = closeLabel;
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

ChooserStart chooserStart(const FileDialogRequest& request) {
    ChooserStart start;
    if (request.initialPath.empty()) return start;
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(request.initialPath, ec);
    if (ec) path = request.initialPath;
    if (std::filesystem::is_directory(path, ec)) {
        start.directory = path.string();
    } else {
        start.directory = path.parent_path().string();
        // The whole path, not just the name: FLTK's own chooser resolves a
        // bare name against the working directory and would open there.
        start.presetFile = path.string();
    }
    return start;
}

std::filesystem::path withDefaultExtension(const std::filesystem::path& chosen, const std::string& defaultExtension) {
    std::string extension = defaultExtension;
    while (!extension.empty() && (extension.front() == '*' || extension.front() == '.')) extension.erase(0, 1);
    std::error_code ec;
    // A name that exists as chosen (a file without extension, a folder) is
    // taken as it is.
    if (extension.empty() || chosen.has_extension() || !chosen.has_filename() || std::filesystem::exists(chosen, ec))
        return chosen;
    std::string lower = extension;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::filesystem::path given = chosen, lowered = chosen;
    given += "." + extension;
    lowered += "." + lower;
    return !std::filesystem::exists(given, ec) && std::filesystem::exists(lowered, ec) ? lowered : given;
}

std::optional<std::filesystem::path> openFileDialog(const FileDialogRequest& request) {
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_FILE);
    chooser.title(request.title.c_str());
    const std::string filter = chooserFilter(request);
    chooser.filter(filter.c_str());
    const ChooserStart start = chooserStart(request);
    if (!start.directory.empty()) chooser.directory(start.directory.c_str());
    if (!start.presetFile.empty()) chooser.preset_file(start.presetFile.c_str());
    if (chooser.show() != 0 || !chooser.filename() || !*chooser.filename()) return std::nullopt;
    return withDefaultExtension(chooser.filename(), request.defaultExtension);
}

std::optional<std::filesystem::path> saveFileDialog(const FileDialogRequest& request) {
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_SAVE_FILE);
    chooser.title(request.title.c_str());
    chooser.options(Fl_Native_File_Chooser::SAVEAS_CONFIRM | Fl_Native_File_Chooser::NEW_FOLDER);
    const std::string filter = chooserFilter(request);
    chooser.filter(filter.c_str());
    const ChooserStart start = chooserStart(request);
    if (!start.directory.empty()) chooser.directory(start.directory.c_str());
    if (!start.presetFile.empty()) chooser.preset_file(std::filesystem::path(start.presetFile).filename().c_str());
    if (chooser.show() != 0 || !chooser.filename() || !*chooser.filename()) return std::nullopt;
    return withDefaultExtension(chooser.filename(), request.defaultExtension);
}

std::optional<std::filesystem::path> chooseFolderDialog(const FileDialogRequest& request) {
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_SAVE_DIRECTORY);
    chooser.title(request.title.c_str());
    chooser.options(Fl_Native_File_Chooser::NEW_FOLDER);
    if (!request.initialPath.empty()) chooser.directory(request.initialPath.string().c_str());
    if (chooser.show() != 0 || !chooser.filename() || !*chooser.filename()) return std::nullopt;
    return std::filesystem::path(chooser.filename());
}

}  // namespace kelvane::platform::fltk
