#pragma once

// Small well-formed objects and byte patches that turn a written file into an
// odd one.

#include <cstdint>
#include <string>
#include <vector>

#include "writers/ebo_writer.h"

namespace kelvane::test {

// A unit quad in the z = `z` plane as one strip, positions offset by (x, y).
writers::EboObject quadObject(const std::string& name, float x = 0, float y = 0, float z = 0,
                              bool withNormals = true);

// A little-endian patch for odd files; throws when the offset is outside the bytes.
void put32(std::vector<std::uint8_t>& bytes, std::int64_t offset, std::uint32_t value);

}  // namespace kelvane::test
