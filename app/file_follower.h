#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "common/file_kind.h"
#include "common/file_identity.h"
#include "platform/folder_watch.h"

namespace kelvane {

// What tells one version of a file from another without reading it: a file
// saved by writing another and renaming it over the old one has a new
// identity even when it kept the old size and time.
struct FileSignature {
    bool exists = false;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
    std::optional<FileIdentity> identity;
    bool operator==(const FileSignature&) const = default;
};
FileSignature signatureOf(const std::filesystem::path& path);

// Notices when the model file or the texture file (FSH or BMP) changes on
// disk. Files are checked at most every kCheckInterval; a change is reported
// once the file has looked the same on two checks in a row, so a file still
// being written is not read half-way. With the system's notices (`watch`)
// a check is made when one comes and then only while a change settles;
// without them (no watch, a network share, a watched folder gone) files are
// checked every kCheckInterval.
class FileFollower {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kCheckInterval{250};

    struct Change {
        std::filesystem::path path;
        FileKind kind;
    };

    bool enabled = true;
    platform::FolderWatch* watch = nullptr;

    // Follows `path` from now on as the model (EBO) or the texture (FSH
    // archive or picture), taking `asRead` (its signature taken before it
    // was read) as the version shown, so a change during the read is seen.
    void follow(const std::filesystem::path& path, FileKind kind, const FileSignature& asRead,
                Clock::time_point now = Clock::now());
    // The followed files that changed and have since settled, when a check
    // is due at `now`; each change is reported once.
    std::vector<Change> changesAt(Clock::time_point now);
    // How long until the next check is due; nothing while no file is
    // followed, or while a watch will tell of the next change.
    std::optional<std::chrono::milliseconds> untilNextCheck(Clock::time_point now) const;

private:
    struct Followed {
        std::filesystem::path path;
        FileKind kind = FileKind::Ebo;
        FileSignature seen;                   // the version last read (or tried)
        std::optional<FileSignature> moving;  // a newer version, seen at the last check
    };
    std::array<std::optional<Followed>, 2> files_;  // model, texture
    std::optional<Clock::time_point> nextCheck_;     // none: asleep until a notice
    Clock::time_point lastCheck_{};
    bool notified_ = false;  // the watch tells of changes to every followed file
};

}  // namespace kelvane
