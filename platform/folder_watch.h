#pragma once

#include <filesystem>
#include <vector>

namespace kelvane::platform {

// The system's notices of changes in the folders that hold followed files
// (a write in place, a file renamed over one, one deleted or made), so that
// a follower sleeps until one comes instead of looking at the files on a
// timer. A notice is a hint that a file may have changed, never a version:
// the follower still compares what it finds. The platform that made the
// watch wakes from waitForMessage when a notice comes.
class FolderWatch {
public:
    enum class Notice {
        None,     // nothing since the last call
        Changed,  // something may have changed
        Lost,     // notices stopped (a watched folder went away): look on a timer again
    };

    virtual ~FolderWatch() = default;
    // Watches the folders of `files` from now on, in place of those watched
    // before; false when the system cannot tell of every change there (a
    // network share, a file that is a link), and then none are watched.
    virtual bool watch(const std::vector<std::filesystem::path>& files) = 0;
    // What came since the last call; never waits.
    virtual Notice takeNotice() = 0;
};

}  // namespace kelvane::platform
