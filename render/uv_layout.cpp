#include "render/uv_layout.h"

#include "render/drawn_triangles.h"

namespace kelvane {

std::vector<UvTriangle> uvTriangles(Generation generation, const Scene& scene,
                                    const std::array<bool, kSceneSlots>& objects) {
    std::array<std::vector<TriangleCorners>, kSceneSlots> drawn;
    std::size_t count = 0;
    for (int s = 0; s < slotsInUse(scene); ++s) {
        if (!objects[s] || scene.visible[s] == 0 || scene.hasTexCoords[s] == 0) continue;
        drawn[s] = drawnTriangles(generation, scene, s);
        count += drawn[s].size();
    }
    // One allocation: a large model's layout runs to millions of triangles.
    std::vector<UvTriangle> out;
    out.reserve(count);
    for (int s = 0; s < kSceneSlots; ++s) {
        const auto& uv = scene.texCoords[s];
        for (const TriangleCorners& t : drawn[s]) out.push_back({{uv[t[0]], uv[t[1]], uv[t[2]]}});
    }
    return out;
}

}  // namespace kelvane
