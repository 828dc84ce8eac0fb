#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/generation.h"
#include "model/scene.h"

namespace kelvane {

// Which of an object's arrays drawing reads for each vertex: those the load
// read (normals in the current generation only). A vertex is drawn only when
// its index lies inside every one of them.
struct SlotArrays {
    bool texCoords, normals, positions;
};
SlotArrays arraysDrawn(Generation generation, const Scene& scene, int s);
bool vertexInRange(const Scene& scene, int s, std::size_t k, const SlotArrays& use);

// One triangle as three indices into the object's arrays.
using TriangleCorners = std::array<std::uint16_t, 3>;

// The triangles drawing sends for object `s` (visible or not; none without
// indices), by its rules: a strip's vertices outside an array they read drop
// out of the strip and it goes on without them, and its triangles keep GL's
// winding (every second one turned round); a listed triangle with such a
// corner drops whole. Triangles with two equal corners, which cover nothing,
// are left out.
std::vector<TriangleCorners> drawnTriangles(Generation generation, const Scene& scene, int s);

}  // namespace kelvane
