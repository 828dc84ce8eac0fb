#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/folder_watch.h"

namespace kelvane::platform {

// Linux: inotify on the folders of the followed files. Only notices that
// name a followed file count, so saves of other files beside them leave the
// follower asleep.
class InotifyWatch final : public FolderWatch {
public:
    InotifyWatch();
    ~InotifyWatch() override;
    InotifyWatch(const InotifyWatch&) = delete;
    InotifyWatch& operator=(const InotifyWatch&) = delete;

    bool watch(const std::vector<std::filesystem::path>& files) override;
    Notice takeNotice() override;

    // Readable while notices wait to be read; -1 without inotify.
    int descriptor() const { return fd_; }
    // Reads the notices waiting, keeping what they said for takeNotice, so
    // that the descriptor wakes nobody again until the next one comes.
    void drain();

private:
    void unwatchAll();

    int fd_ = -1;
    std::map<int, std::set<std::string>> names_;  // watch -> names of the followed files in its folder
    bool changed_ = false;
    bool lost_ = false;
};

}  // namespace kelvane::platform
