#include "render/uv_layout.h"

#include <algorithm>
#include <cstddef>

namespace kelvane {

namespace {

bool inRange(const Scene& scene, int s, std::size_t k, bool normals) {
    return k < scene.texCoords[s].size() && (!normals || k < scene.normals[s].size()) &&
           (scene.hasPositions[s] == 0 || k < scene.positions[s].size());
}

void addTriangle(std::vector<UvTriangle>& out, const Scene& scene, int s, std::size_t a, std::size_t b, std::size_t c) {
    if (a == b || b == c || a == c) return;
    const auto& uv = scene.texCoords[s];
    out.push_back({{uv[a], uv[b], uv[c]}});
}

std::size_t usedIndices(const Scene& scene, int s, std::size_t perEntry) {
    return std::min<std::size_t>(static_cast<std::size_t>(std::max(scene.indexCount[s], 0)),
                                 scene.indices[s].size() / perEntry);
}

}  // namespace

std::vector<UvTriangle> uvTriangles(Generation generation, const Scene& scene,
                                    const std::array<bool, kSceneSlots>& objects) {
    const bool lists = traits(generation).primitive == Primitive::TriangleLists;
    std::vector<UvTriangle> out;
    std::size_t most = 0;  // a strip of n indices makes at most n triangles
    for (int s = 0; s < slotsInUse(scene); ++s) most += usedIndices(scene, s, lists ? 3 : 1);
    out.reserve(most);
    std::vector<std::size_t> strip;
    for (int s = 0; s < slotsInUse(scene); ++s) {
        if (!objects[s] || scene.visible[s] == 0 || scene.hasIndices[s] == 0 || scene.hasTexCoords[s] == 0) continue;
        const auto& indices = scene.indices[s];
        if (lists) {
            for (std::size_t t = 0; t < usedIndices(scene, s, 3); ++t) {
                const std::size_t a = indices[3 * t], b = indices[3 * t + 1], c = indices[3 * t + 2];
                if (inRange(scene, s, a, false) && inRange(scene, s, b, false) && inRange(scene, s, c, false))
                    addTriangle(out, scene, s, a, b, c);
            }
            continue;
        }
        const bool normals = scene.hasNormals[s] != 0;
        strip.clear();
        for (std::size_t i = 0; i < usedIndices(scene, s, 1); ++i)
            if (inRange(scene, s, indices[i], normals)) strip.push_back(indices[i]);
        for (std::size_t i = 2; i < strip.size(); ++i) addTriangle(out, scene, s, strip[i - 2], strip[i - 1], strip[i]);
    }
    return out;
}

}  // namespace kelvane
