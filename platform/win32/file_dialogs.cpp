#include <windows.h>
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/win32/text.h"
#include "platform/win32/win32_window.h"

namespace kelvane::platform::win32 {

namespace {
constexpr DWORD kPathCapacity = 255;  // characters, the terminating NUL included
// Save dialogs take longer paths: nothing old depends on their size.
constexpr DWORD kSavePathCapacity = 1024;

// The dialog appends the default extension to a name typed without one and
// wants it without "*." ("EBO", not "*.EBO").
std::wstring bareExtension(const std::string& extension) {
    std::string bare = extension;
    while (!bare.empty() && (bare.front() == '*' || bare.front() == '.')) bare.erase(bare.begin());
    return toUtf16(bare);
}
// One filter pair, double-NUL terminated.
std::wstring filterOf(const FileDialogRequest& request) {
    std::wstring filter = toUtf16(request.filterName);
    filter += L'\0';
    filter += toUtf16(request.pattern);
    filter += L'\0';
    filter += L'\0';
    return filter;
}

// Starts the folder chooser on the initial folder.
int CALLBACK selectInitialFolder(HWND dialog, UINT message, LPARAM, LPARAM folder) {
    if (message == BFFM_INITIALIZED && folder) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, folder);
    return 0;
}
}  // namespace

namespace {
// Runs one common file dialog (open or save) for a request: the path buffer
// holds `capacity` characters, the terminating NUL included.
template <typename Run>
std::optional<std::filesystem::path> runFileDialog(Run run, HWND owner, const FileDialogRequest& request,
                                                   DWORD capacity) {
    const std::wstring filter = filterOf(request);
    std::wstring path(capacity, L'\0');
    const std::wstring initial = request.initialPath.wstring();
    // A path that does not fit starts the dialog empty rather than cut short.
    if (initial.size() < capacity) initial.copy(path.data(), initial.size());
    const std::wstring title = toUtf16(request.title);
    const std::wstring defaultExtension = bareExtension(request.defaultExtension);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = capacity;
    dialog.lpstrTitle = title.c_str();
    // OFN_NOCHANGEDIR: browsing must not move the working folder, against
    // which relative paths from the command line are followed.
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;
    dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    if (run(&dialog) != 1) return std::nullopt;
    path.resize(wcsnlen(path.c_str(), capacity));
    return std::filesystem::path(path);
}
}  // namespace

std::optional<std::filesystem::path> runOpenFileDialog(const FileDialogRequest& request) {
    return runFileDialog(GetOpenFileNameW, nullptr, request, kPathCapacity);
}

std::optional<std::filesystem::path> runSaveFileDialog(HWND owner, const FileDialogRequest& request) {
    return runFileDialog(GetSaveFileNameW, owner, request, kSavePathCapacity);
}

std::optional<std::filesystem::path> runFolderDialog(HWND owner, const FileDialogRequest& request) {
    // The dialog with a "Make New Folder" button needs COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring title = toUtf16(request.title), initial = request.initialPath.wstring();
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = selectInitialFolder;
    browse.lParam = initial.empty() ? 0 : reinterpret_cast<LPARAM>(initial.c_str());
    std::optional<std::filesystem::path> chosen;
    if (PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse)) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(item, path)) chosen = std::filesystem::path(path);
        CoTaskMemFree(item);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return chosen;
}

}  // namespace kelvane::platform::win32
