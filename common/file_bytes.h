#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvane {

// Uninitialised memory for a whole file's bytes, filled by one read. On
// Linux a large buffer asks for 2 MiB pages: faulting in tens of megabytes
// 4 KiB at a time costs more than reading them from the page cache.
class FileBytes {
public:
    FileBytes() = default;
    explicit FileBytes(std::size_t capacity);
    FileBytes(FileBytes&& other) noexcept;
    FileBytes& operator=(FileBytes&& other) noexcept;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes();

    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t capacity() const { return capacity_; }

private:
    void release();

    std::uint8_t* data_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t mapped_ = 0;  // bytes mapped from the system (0: allocated with new)
};

}  // namespace kelvane
