#pragma once

#include <array>
#include <vector>

#include "common/generation.h"
#include "model/scene.h"

namespace kelvane {

// One triangle as its texture coordinates place it on the image (0..1 across
// the image, v = 0 on its first row).
struct UvTriangle {
    std::array<Vec2f, 3> corner;
};

// The triangles that drawing sends for the listed objects (visible ones with
// indices and texture coordinates), by the same rules: a strip's vertices
// outside an array the vertex reads drop out of the strip, a listed triangle
// with such a corner drops whole; triangles with two equal corners, which
// cover nothing, are left out.
std::vector<UvTriangle> uvTriangles(Generation generation, const Scene& scene,
                                    const std::array<bool, kSceneSlots>& objects);

}  // namespace kelvane
