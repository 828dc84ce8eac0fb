#include <windows.h>
#include <commdlg.h>

#include "platform/win32/text.h"
#include "platform/win32/win32_window.h"

namespace kelvane::platform::win32 {

namespace {
constexpr DWORD kPathCapacity = 255;  // characters, the terminating NUL included

// The dialog appends the default extension to a name typed without one and
// wants it without "*." ("EBO", not "*.EBO").
std::wstring bareExtension(const std::string& extension) {
    std::string bare = extension;
    while (!bare.empty() && (bare.front() == '*' || bare.front() == '.')) bare.erase(bare.begin());
    return toUtf16(bare);
}
}  // namespace

std::optional<std::filesystem::path> runOpenFileDialog(const FileDialogRequest& request) {
    // One filter pair, double-NUL terminated.
    std::wstring filter = toUtf16(request.filterName);
    filter += L'\0';
    filter += toUtf16(request.pattern);
    filter += L'\0';
    filter += L'\0';

    wchar_t path[kPathCapacity] = {};
    const std::wstring initial = request.initialPath.wstring();
    // A path that does not fit starts the dialog empty rather than cut short.
    if (initial.size() < kPathCapacity) initial.copy(path, initial.size());

    const std::wstring title = toUtf16(request.title);
    const std::wstring defaultExtension = bareExtension(request.defaultExtension);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = nullptr;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = kPathCapacity;
    dialog.lpstrTitle = title.c_str();
    // OFN_NOCHANGEDIR: browsing must not move the working folder, against
    // which relative paths from the command line are followed.
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;
    dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();

    if (GetOpenFileNameW(&dialog) != 1) return std::nullopt;
    path[kPathCapacity - 1] = L'\0';
    return std::filesystem::path(path);
}

}  // namespace kelvane::platform::win32
