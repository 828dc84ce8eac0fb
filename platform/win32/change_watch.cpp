#include "platform/win32/change_watch.h"

#include <algorithm>
#include <system_error>

namespace kelvane::platform::win32 {

namespace {

// Shares on another machine may change without a notice here.
bool changesUntold(const std::filesystem::path& folder) {
    wchar_t volume[MAX_PATH + 1] = {};
    if (!GetVolumePathNameW(folder.c_str(), volume, MAX_PATH)) return true;
    return GetDriveTypeW(volume) == DRIVE_REMOTE;
}

// A file made, deleted or renamed, written or cut.
constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;

}  // namespace

ChangeWatch::~ChangeWatch() { closeAll(); }

void ChangeWatch::closeAll() {
    for (HANDLE handle : handles_) FindCloseChangeNotification(handle);
    handles_.clear();
    folders_.clear();
}

bool ChangeWatch::watch(const std::vector<std::filesystem::path>& files) {
    closeAll();
    for (const auto& file : files) {
        std::error_code error;
        const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
        if (std::find(folders_.begin(), folders_.end(), folder) != folders_.end()) continue;
        // A link's target may change in a folder not watched.
        HANDLE handle = std::filesystem::is_symlink(file, error) || changesUntold(folder)
                            ? INVALID_HANDLE_VALUE
                            : FindFirstChangeNotificationW(folder.c_str(), FALSE, kChanges);
        if (handle == INVALID_HANDLE_VALUE) {
            closeAll();
            return false;
        }
        handles_.push_back(handle);
        folders_.push_back(folder);
    }
    return true;
}

FolderWatch::Notice ChangeWatch::takeNotice() {
    if (handles_.empty()) return folders_.empty() ? Notice::None : Notice::Lost;
    bool changed = false;
    for (std::size_t i = 0; i < handles_.size(); ++i) {
        if (WaitForSingleObject(handles_[i], 0) != WAIT_OBJECT_0) continue;
        changed = true;
        // A folder that went away signals for good: stop waiting on it.
        std::error_code error;
        if (!FindNextChangeNotification(handles_[i]) || !std::filesystem::is_directory(folders_[i], error)) {
            for (HANDLE handle : handles_) FindCloseChangeNotification(handle);
            handles_.clear();
            return Notice::Lost;
        }
    }
    return changed ? Notice::Changed : Notice::None;
}

}  // namespace kelvane::platform::win32
