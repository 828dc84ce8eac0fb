#include "model/ebo_arrays.h"

#include <array>
#include <cmath>
#include <limits>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// Strict comparisons from the first vertex on leave, on each axis, the first
// coordinate holding the smallest (largest) value that is no NaN, or the
// first vertex's NaN. Coordinates of equal value have equal bits, but for 0
// and -0; so the values are found in any order, several at once, and only a
// bound of zero looks for the first zero.
float coordinate(const Vec3f& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

struct Range {
    float low = std::numeric_limits<float>::infinity();
    float high = -std::numeric_limits<float>::infinity();
    void take(float v) {  // a NaN compares false, so it is never taken
        if (v < low) low = v;
        if (v > high) high = v;
    }
};

// The smallest and largest value on each axis, NaNs left out.
std::array<Range, 3> valueRanges(std::span<const Vec3f> positions) {
    std::array<Range, 3> ranges;
    std::size_t i = 0;
#if defined(__SSE2__)
    const auto* bytes = reinterpret_cast<const unsigned char*>(positions.data());
    // Four vertices at a time: twelve coordinates in three registers, lane j
    // of register k on axis (4k + j) % 3. minps(v, m) is v < m ? v : m, so a
    // NaN is never taken here either.
    __m128 low[3], high[3];
    for (int k = 0; k < 3; ++k) low[k] = _mm_set1_ps(ranges[0].low), high[k] = _mm_set1_ps(ranges[0].high);
    for (; i + 4 <= positions.size(); i += 4)
        for (int k = 0; k < 3; ++k) {
            const __m128 v = _mm_loadu_ps(reinterpret_cast<const float*>(bytes + 12 * i + 16 * k));
            low[k] = _mm_min_ps(v, low[k]);
            high[k] = _mm_max_ps(v, high[k]);
        }
    for (int k = 0; k < 3; ++k) {
        float lows[4], highs[4];
        _mm_storeu_ps(lows, low[k]);
        _mm_storeu_ps(highs, high[k]);
        for (int j = 0; j < 4; ++j) {
            Range& range = ranges[(4 * k + j) % 3];
            if (lows[j] < range.low) range.low = lows[j];
            if (highs[j] > range.high) range.high = highs[j];
        }
    }
#endif
    for (; i < positions.size(); ++i)
        for (int axis = 0; axis < 3; ++axis) ranges[axis].take(coordinate(positions[i], axis));
    return ranges;
}

// The coordinate that a bound of value `v` is: a zero is the first zero.
float boundOf(float v, std::span<const Vec3f> positions, int axis) {
    if (v == 0.0f)
        for (const Vec3f& p : positions)
            if (coordinate(p, axis) == 0.0f) return coordinate(p, axis);
    return v;
}

}  // namespace

void updateBounds(Scene& scene, int slot, std::span<const Vec3f> positions) {
    if (positions.empty()) return;
    const std::array<Range, 3> ranges = valueRanges(positions);
    float* const lows[] = {&scene.minX[slot], &scene.minY[slot], &scene.minZ[slot]};
    float* const highs[] = {&scene.maxX[slot], &scene.maxY[slot], &scene.maxZ[slot]};
    for (int axis = 0; axis < 3; ++axis) {
        const float first = coordinate(positions[0], axis);
        if (std::isnan(first)) {
            *lows[axis] = *highs[axis] = first;  // no comparison with it ever holds
            continue;
        }
        *lows[axis] = boundOf(ranges[axis].low, positions, axis);
        *highs[axis] = boundOf(ranges[axis].high, positions, axis);
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
