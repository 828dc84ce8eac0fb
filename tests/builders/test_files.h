#pragma once

// Small well-formed objects and byte patches that turn a written file into an
// odd one.

#include <cstdint>
#include <string>
#include <vector>

#include "writers/ebo_writer.h"

namespace kelvane::test {

// A unit quad in the z = `z` plane as one strip, positions offset by (x, y).
inline writers::EboObject quadObject(const std::string& name, float x = 0, float y = 0, float z = 0,
                                     bool withNormals = true) {
    writers::EboObject o;
    o.name = name;
    o.positions = {{x, y, z}, {x + 1, y, z}, {x, y + 1, z}, {x + 1, y + 1, z}};
    if (withNormals) o.normals = std::vector<Vec3f>(4, Vec3f{0, 0, 1});
    o.texCoords = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    o.strip = {0, 1, 2, 3};
    return o;
}

// A little-endian patch for odd files; throws when the offset is outside the bytes.
inline void put32(std::vector<std::uint8_t>& bytes, std::int64_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace kelvane::test
