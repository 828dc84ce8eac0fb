#include "common/file_bytes.h"

#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace kelvane {

namespace {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
constexpr std::size_t kHugePage = std::size_t{2} << 20;
#endif
}  // namespace

FileBytes::FileBytes(std::size_t capacity) : capacity_(capacity) {
    if (capacity == 0) return;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (capacity >= kHugePage) {
        const std::size_t length = (capacity + kHugePage - 1) / kHugePage * kHugePage;
        void* p = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p != MAP_FAILED) {
            // Only advice: without huge pages the memory works the same. The
            // tail past the last whole 2 MiB keeps small pages, so no more
            // memory is touched than the file fills.
            madvise(p, capacity / kHugePage * kHugePage, MADV_HUGEPAGE);
            data_ = static_cast<std::uint8_t*>(p);
            mapped_ = length;
            return;
        }
    }
#endif
    data_ = new std::uint8_t[capacity];
}

FileBytes::FileBytes(FileBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)),
      mapped_(std::exchange(other.mapped_, 0)) {}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept {
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
        mapped_ = std::exchange(other.mapped_, 0);
    }
    return *this;
}

FileBytes::~FileBytes() { release(); }

void FileBytes::release() {
#if defined(__linux__)
    if (mapped_) {
        munmap(data_, mapped_);
        data_ = nullptr;
        return;
    }
#endif
    delete[] data_;
    data_ = nullptr;
}

}  // namespace kelvane
