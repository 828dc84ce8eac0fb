#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "common/generation.h"
#include "common/result.h"
#include "model/scene.h"
#include "textures/texture_store.h"

namespace kelvane {

struct GltfChoices {
    bool byName = false;       // each object with the archive image of its name, as "by name" draws
    bool visibleOnly = false;  // the visible objects only, else every object
};

// The scene as binary glTF 2.0 (.glb) bytes: one node per object, named as
// the menu names it, with a mesh of the triangles drawing sends (positions,
// texture coordinates and unit normals as stored) and a material of the
// image the model view draws it with, each image embedded once as PNG.
// Fails only when the file would pass the format's 4 GiB limit.
Result<std::vector<std::uint8_t>> gltfBytes(Generation generation, const Scene& scene, const TextureStore& textures,
                                            const GltfChoices& choices);

// One binary glTF 2.0 file (.glb) of the scene with its images, written whole or not at all.
Outcome writeGltf(Generation generation, const Scene& scene, const TextureStore& textures, const GltfChoices& choices,
                  const std::filesystem::path& out);

}  // namespace kelvane
