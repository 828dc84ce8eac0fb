#pragma once

#include <atomic>
#include <cstdint>

namespace kelvane {

// A number never handed out before in this process. Whatever holds pixels
// takes a fresh one each time they change, so a drawer that uploaded them
// under one number knows, by the number alone, whether its copy is current.
inline std::uint64_t nextRevision() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

}  // namespace kelvane
