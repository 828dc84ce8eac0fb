#include "app/file_follower.h"

#include <algorithm>
#include <system_error>

namespace kelvane {

FileSignature signatureOf(const std::filesystem::path& path) {
    std::error_code error;
    FileSignature signature;
    const auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::is_regular_file(status)) return signature;
    signature.size = std::filesystem::file_size(path, error);
    if (error) return {};
    signature.modified = std::filesystem::last_write_time(path, error);
    if (error) return {};
    signature.identity = fileIdentity(path);
    signature.exists = true;
    return signature;
}

void FileFollower::follow(const std::filesystem::path& path, FileKind kind, const FileSignature& asRead,
                          Clock::time_point now) {
    if (!enabled) return;
    const bool anyFollowed = files_[0] || files_[1];
    files_[kind == FileKind::Ebo ? 0 : 1] = Followed{path, kind, asRead, std::nullopt};
    if (watch) {
        std::vector<std::filesystem::path> paths;
        for (const auto& file : files_)
            if (file) paths.push_back(file->path);
        notified_ = watch->watch(paths);
    }
    // A check one interval on, as ever: a change made while the file was
    // read came before the watch did.
    if (!anyFollowed || !nextCheck_) nextCheck_ = now + kCheckInterval;
}

std::vector<FileFollower::Change> FileFollower::changesAt(Clock::time_point now) {
    std::vector<Change> changes;
    if (!enabled) return changes;
    if (notified_) {
        const auto notice = watch->takeNotice();
        if (notice == platform::FolderWatch::Notice::Lost) {
            notified_ = false;
            if (!nextCheck_) nextCheck_ = now;
        } else if (notice == platform::FolderWatch::Notice::Changed) {
            // At once, but never sooner than an interval after the last
            // check, so that a version is still seen on two checks that far apart.
            const auto due = std::max(now, lastCheck_ + kCheckInterval);
            if (!nextCheck_ || due < *nextCheck_) nextCheck_ = due;
        }
    }
    if (!nextCheck_ || now < *nextCheck_) return changes;
    lastCheck_ = now;
    bool settling = false;
    for (auto& file : files_) {
        if (!file) continue;
        const FileSignature current = signatureOf(file->path);
        if (current == file->seen) {
            file->moving.reset();  // changed and changed back: nothing to read
        } else if (file->moving == current) {
            // Settled: read it once. A read that fails is not retried until
            // the file changes again.
            file->seen = current;
            file->moving.reset();
            changes.push_back({file->path, file->kind});
        } else {
            file->moving = current;
        }
        settling = settling || file->moving;
    }
    if (notified_ && !settling)
        nextCheck_.reset();  // asleep until the next notice
    else
        nextCheck_ = now + kCheckInterval;
    return changes;
}

std::optional<std::chrono::milliseconds> FileFollower::untilNextCheck(Clock::time_point now) const {
    if (!enabled || (!files_[0] && !files_[1]) || !nextCheck_) return std::nullopt;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*nextCheck_ - now);
    return std::max(left, std::chrono::milliseconds{0});
}

}  // namespace kelvane
