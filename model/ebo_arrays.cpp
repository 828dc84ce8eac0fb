#include "model/ebo_arrays.h"

#include <string>

namespace kelvane::ebo {

std::int64_t elementsInFile(ByteReader& file, std::int64_t dataOffset, std::int32_t byteSize, std::int32_t stride,
                            const char* field) {
    const std::int64_t declared = byteSize < stride ? 0 : byteSize / stride;
    if (declared == 0) return 0;
    const auto fileSize = static_cast<std::int64_t>(file.size());
    const std::int64_t available =
        dataOffset < 0 || dataOffset > fileSize ? 0 : (fileSize - dataOffset) / stride;
    if (declared <= available) return declared;
    file.fail(dataOffset, field,
              "array data runs past the end of the file (" + std::to_string(declared) + " elements declared, " +
                  std::to_string(available) + " in the file)");
    return available;
}

namespace {
// The count comes from elementsInFile, so the one check of the whole array
// passes; were it to fail, the elements would be zero.
template <typename T>
SharedArray<T> readArrayOf(ByteReader& file, std::int64_t offset, std::int64_t count, const char* field) {
    const auto n = static_cast<std::size_t>(count);
    if (auto shared = file.shareArray<T>(offset, n, field)) return std::move(*shared);
    return std::vector<T>(n);
}
}  // namespace

SharedArray<Vec3f> readVec3Array(ByteReader& file, std::int64_t offset, std::int64_t count) {
    return readArrayOf<Vec3f>(file, offset, count, "vertex");
}

SharedArray<Vec2f> readVec2Array(ByteReader& file, std::int64_t offset, std::int64_t count) {
    return readArrayOf<Vec2f>(file, offset, count, "texture coordinate");
}

SharedArray<std::uint16_t> readU16Array(ByteReader& file, std::int64_t offset, std::int64_t count) {
    return readArrayOf<std::uint16_t>(file, offset, count, "index");
}

void updateBounds(Scene& scene, int slot, std::span<const Vec3f> positions) {
    if (positions.empty()) return;
    float &minX = scene.minX[slot], &maxX = scene.maxX[slot];
    float &minY = scene.minY[slot], &maxY = scene.maxY[slot];
    float &minZ = scene.minZ[slot], &maxZ = scene.maxZ[slot];
    minX = maxX = positions[0].x;
    minY = maxY = positions[0].y;
    minZ = maxZ = positions[0].z;
    for (const Vec3f& p : positions) {
        if (p.x > maxX) maxX = p.x;
        if (p.x < minX) minX = p.x;
        if (p.y > maxY) maxY = p.y;
        if (p.y < minY) minY = p.y;
        if (p.z > maxZ) maxZ = p.z;
        if (p.z < minZ) minZ = p.z;
    }
}

void readPositions(Scene& scene, int slot, ByteReader& file, std::int64_t data, std::int32_t byteSize) {
    scene.positions[slot] = readVec3Array(file, data, elementsInFile(file, data, byteSize, 12, "positions"));
    updateBounds(scene, slot, scene.positions[slot]);
    scene.hasPositions[slot] = 1;
}

void readTexCoords(Scene& scene, int slot, ByteReader& file, std::int64_t data, std::int32_t byteSize) {
    scene.texCoords[slot] = readVec2Array(file, data, elementsInFile(file, data, byteSize, 8, "texture coordinates"));
    scene.hasTexCoords[slot] = 1;
}

namespace {
template <typename T>
void keepOnly(std::array<SharedArray<T>, kSceneSlots>& arrays, const ByteReader& file) {
    for (auto& array : arrays)
        if (!array.viewsInto(file.owner())) array.ownElements();
}
}  // namespace

void keepOnlyThisFile(Scene& scene, const ByteReader& file) {
    keepOnly(scene.positions, file);
    keepOnly(scene.normals, file);
    keepOnly(scene.texCoords, file);
    keepOnly(scene.indices, file);
}

}  // namespace kelvane::ebo
