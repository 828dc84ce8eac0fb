#include "tests/builders/test_files.h"

namespace kelvane::test {

writers::EboObject quadObject(const std::string& name, float x, float y, float z, bool withNormals) {
    writers::EboObject o;
    o.name = name;
    o.positions = {{x, y, z}, {x + 1, y, z}, {x, y + 1, z}, {x + 1, y + 1, z}};
    if (withNormals) o.normals = std::vector<Vec3f>(4, Vec3f{0, 0, 1});
    o.texCoords = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    o.strip = {0, 1, 2, 3};
    return o;
}

void put32(std::vector<std::uint8_t>& bytes, std::int64_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace kelvane::test
