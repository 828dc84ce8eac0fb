#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "common/shared_array.h"

namespace kelvane {

constexpr int kSceneSlots = 20;

// Laid out as the files lay them out, with no alignment of their own: the
// files align their arrays only to 2 bytes, and a load's arrays view the
// bytes it read wherever they lie.
struct [[gnu::packed]] Vec3f {
    float x, y, z;
};
struct [[gnu::packed]] Vec2f {
    float u, v;
};
static_assert(sizeof(Vec3f) == 12 && sizeof(Vec2f) == 8 && alignof(Vec3f) == 1 && alignof(Vec2f) == 1);

// The one model store: 20 object slots as parallel fixed arrays. A flag says
// whether the slot's array was read by the current load; arrays whose flag is
// 0 may still hold an earlier load's data and are never read.
//
// An array's size is the number of elements actually read: drawing uses it
// to refuse indices past the end. A load's arrays view the bytes it read
// where they lie there as they are, and keep those bytes alive.
// In the legacy generation `indices` holds a triangle list (3 entries per
// triangle) and `indexCount` counts triangles; normals, names and the
// lighting flags are unused there.
struct Scene {
    std::array<SharedArray<Vec3f>, kSceneSlots> positions;
    std::array<SharedArray<Vec3f>, kSceneSlots> normals;
    std::array<SharedArray<Vec2f>, kSceneSlots> texCoords;
    std::array<SharedArray<std::uint16_t>, kSceneSlots> indices;
    std::array<std::int32_t, kSceneSlots> indexCount{};
    std::int32_t objectCount = 0;
    std::int32_t normalsPresent = 0;
    std::int32_t lightingOn = 0;
    std::array<float, kSceneSlots> maxX{}, maxY{}, maxZ{};
    std::array<float, kSceneSlots> minX{}, minY{}, minZ{};
    std::array<std::uint8_t, kSceneSlots> hasPositions{}, hasNormals{}, hasTexCoords{}, hasIndices{};
    std::array<std::uint8_t, kSceneSlots> visible{};
    // Null before the first load; Latin-1 bytes, at most 255 of them.
    std::array<std::optional<std::string>, kSceneSlots> names;
    // A new number at each load (see loadEbo); visibility and lighting are
    // not counted.
    std::uint64_t revision = 0;
};

// How many slots the scene's objects take: objectCount, but never more than
// the 20 slots (and never negative). Drawing, the menu and the commands all
// reach this many.
inline int slotsInUse(const Scene& scene) { return std::clamp<int>(scene.objectCount, 0, kSceneSlots); }

}  // namespace kelvane
