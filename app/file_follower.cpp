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
    if (!anyFollowed) nextCheck_ = now + kCheckInterval;
}

std::vector<FileFollower::Change> FileFollower::changesAt(Clock::time_point now) {
    std::vector<Change> changes;
    if (!enabled || now < nextCheck_) return changes;
    nextCheck_ = now + kCheckInterval;
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
    }
    return changes;
}

std::optional<std::chrono::milliseconds> FileFollower::untilNextCheck(Clock::time_point now) const {
    if (!enabled || (!files_[0] && !files_[1])) return std::nullopt;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(nextCheck_ - now);
    return std::max(left, std::chrono::milliseconds{0});
}

}  // namespace kelvane
