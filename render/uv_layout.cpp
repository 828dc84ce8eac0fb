#include "render/uv_layout.h"

#include "render/drawn_triangles.h"

namespace kelvane {

std::vector<UvTriangle> uvTriangles(Generation generation, const Scene& scene,
                                    const std::array<bool, kSceneSlots>& objects) {
    std::vector<UvTriangle> out;
    for (int s = 0; s < slotsInUse(scene); ++s) {
        if (!objects[s] || scene.visible[s] == 0 || scene.hasTexCoords[s] == 0) continue;
        const auto& uv = scene.texCoords[s];
        for (const TriangleCorners& t : drawnTriangles(generation, scene, s))
            out.push_back({{uv[t[0]], uv[t[1]], uv[t[2]]}});
    }
    return out;
}

}  // namespace kelvane
