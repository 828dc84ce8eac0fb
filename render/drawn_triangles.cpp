#include "render/drawn_triangles.h"

#include <algorithm>

namespace kelvane {

SlotArrays arraysDrawn(Generation generation, const Scene& scene, int s) {
    return {scene.hasTexCoords[s] != 0, traits(generation).normals && scene.hasNormals[s] != 0,
            scene.hasPositions[s] != 0};
}

bool vertexInRange(const Scene& scene, int s, std::size_t k, const SlotArrays& use) {
    return (!use.texCoords || k < scene.texCoords[s].size()) && (!use.normals || k < scene.normals[s].size()) &&
           (!use.positions || k < scene.positions[s].size());
}

std::vector<TriangleCorners> drawnTriangles(Generation generation, const Scene& scene, int s) {
    std::vector<TriangleCorners> out;
    if (scene.hasIndices[s] == 0) return out;
    const SlotArrays use = arraysDrawn(generation, scene, s);
    const auto& indices = scene.indices[s];
    const auto add = [&out](std::uint16_t a, std::uint16_t b, std::uint16_t c) {
        if (a != b && b != c && a != c) out.push_back({a, b, c});
    };
    const auto count = static_cast<std::size_t>(std::max(scene.indexCount[s], 0));
    if (traits(generation).primitive == Primitive::TriangleLists) {
        // indexCount counts triangles here.
        for (std::size_t t = 0; t < std::min(count, indices.size() / 3); ++t) {
            const std::uint16_t a = indices[3 * t], b = indices[3 * t + 1], c = indices[3 * t + 2];
            if (vertexInRange(scene, s, a, use) && vertexInRange(scene, s, b, use) && vertexInRange(scene, s, c, use))
                add(a, b, c);
        }
        return out;
    }
    std::vector<std::uint16_t> strip;
    for (std::size_t i = 0; i < std::min(count, indices.size()); ++i)
        if (vertexInRange(scene, s, indices[i], use)) strip.push_back(indices[i]);
    for (std::size_t i = 2; i < strip.size(); ++i) {
        if (i % 2 == 0)
            add(strip[i - 2], strip[i - 1], strip[i]);
        else
            add(strip[i - 1], strip[i - 2], strip[i]);
    }
    return out;
}

}  // namespace kelvane
