#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace kelvane {

// Which file a path names, beyond its size and time: the device and inode
// on POSIX systems, the volume serial number and file index on Windows. A
// file replaced by another (saved to a temporary name, given the old time,
// then renamed over the old one) keeps the size and time but not this.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};

// Nothing when the file cannot be asked.
std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path);

}  // namespace kelvane
