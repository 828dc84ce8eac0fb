#include "platform/inotify_watch.h"

#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

namespace kelvane::platform {

namespace {

// File systems whose files change elsewhere, on another machine, without a
// notice here: network shares, and FUSE, which is mostly sshfs and the like.
bool changesUntold(const std::filesystem::path& folder) {
    struct statfs info {};
    if (statfs(folder.c_str(), &info) != 0) return true;
    switch (static_cast<unsigned long>(info.f_type)) {
        case 0x6969:      // NFS
        case 0x517B:      // SMB
        case 0xFF534D42:  // CIFS
        case 0xFE534D42:  // SMB2
        case 0x65735546:  // FUSE
        case 0x01021997:  // 9P
        case 0x6A656A63:  // virtiofs
        case 0x00C36400:  // Ceph
        case 0x5346414F:  // AFS
        case 0x73757245:  // Coda
        case 0x564C:      // NCP
            return true;
        default:
            return false;
    }
}

// A write in place, a file renamed over, deleted or made, its time changed;
// and the folder itself going away.
constexpr std::uint32_t kEvents = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO | IN_CREATE |
                                  IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

}  // namespace

InotifyWatch::InotifyWatch() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

InotifyWatch::~InotifyWatch() {
    if (fd_ >= 0) close(fd_);
}

void InotifyWatch::unwatchAll() {
    for (const auto& [wd, names] : names_) inotify_rm_watch(fd_, wd);
    names_.clear();
}

bool InotifyWatch::watch(const std::vector<std::filesystem::path>& files) {
    if (fd_ < 0) return false;
    unwatchAll();
    lost_ = false;
    for (const auto& file : files) {
        std::error_code error;
        // A link's target may change in a folder not watched.
        const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
        const int wd = std::filesystem::is_symlink(file, error) || changesUntold(folder)
                           ? -1
                           : inotify_add_watch(fd_, folder.c_str(), kEvents);
        if (wd < 0) {
            unwatchAll();
            return false;
        }
        names_[wd].insert(file.filename().string());
    }
    return true;
}

void InotifyWatch::drain() {
    if (fd_ < 0) return;
    alignas(inotify_event) std::array<char, 4096> buffer;
    for (;;) {
        const ssize_t n = read(fd_, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // nothing more waits
        for (ssize_t at = 0; at < n;) {
            inotify_event event;
            std::memcpy(&event, buffer.data() + at, sizeof event);
            const char* name = buffer.data() + at + sizeof event;
            at += static_cast<ssize_t>(sizeof event + event.len);
            if (event.mask & IN_Q_OVERFLOW) {
                changed_ = true;  // some were dropped: any file may have changed
                continue;
            }
            const auto watched = names_.find(event.wd);
            if (watched == names_.end()) continue;  // a folder watched before
            if (event.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT))
                lost_ = true;
            else if (event.len > 0 && watched->second.contains(name))
                changed_ = true;
        }
    }
}

FolderWatch::Notice InotifyWatch::takeNotice() {
    drain();
    if (lost_) return Notice::Lost;
    return std::exchange(changed_, false) ? Notice::Changed : Notice::None;
}

}  // namespace kelvane::platform
