#pragma once

#include <windows.h>

#include <vector>

#include "platform/folder_watch.h"

namespace kelvane::platform::win32 {

// Windows: a change notification on each folder of the followed files,
// whose handles the message wait includes. A notice names no file, so any
// change in those folders counts.
class ChangeWatch final : public FolderWatch {
public:
    ChangeWatch() = default;
    ~ChangeWatch() override;
    ChangeWatch(const ChangeWatch&) = delete;
    ChangeWatch& operator=(const ChangeWatch&) = delete;

    bool watch(const std::vector<std::filesystem::path>& files) override;
    Notice takeNotice() override;

    // Signalled when a notice waits; none once notices stopped.
    const std::vector<HANDLE>& handles() const { return handles_; }

private:
    void closeAll();

    std::vector<HANDLE> handles_;
    std::vector<std::filesystem::path> folders_;
};

}  // namespace kelvane::platform::win32
