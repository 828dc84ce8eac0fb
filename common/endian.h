#pragma once

// Little- and big-endian integers in byte buffers. The caller has checked
// that the bytes are there; these only assemble or spread them.

#include <cstdint>
#include <vector>

namespace kelvane {

inline std::uint16_t loadLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t loadLe32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

inline std::uint64_t loadLe64(const std::uint8_t* p) {
    return std::uint64_t{loadLe32(p)} | (std::uint64_t{loadLe32(p + 4)} << 32);
}

inline std::uint32_t loadBe32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

inline void storeLe16(std::uint8_t* p, std::uint16_t value) {
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void storeLe32(std::uint8_t* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void storeLe64(std::uint8_t* p, std::uint64_t value) {
    storeLe32(p, static_cast<std::uint32_t>(value));
    storeLe32(p + 4, static_cast<std::uint32_t>(value >> 32));
}

// Appends a little-endian value to a file being written.
inline void appendLe16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void appendLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    appendLe16(out, static_cast<std::uint16_t>(value));
    appendLe16(out, static_cast<std::uint16_t>(value >> 16));
}

inline void storeBe32(std::uint8_t* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

}  // namespace kelvane
