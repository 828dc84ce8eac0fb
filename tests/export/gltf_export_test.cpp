// The glTF export read back: every vertex, index and image against the
// scene and store it was made from.
#include "export/gltf_export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include <stb_image.h>

namespace kelvane {
namespace {

template <typename Array>
std::vector<std::uint8_t> bytesOf(const Array& values) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(values.data());
    return {p, p + values.size() * sizeof(values[0])};
}

TEST(GltfExport, ReadBackHoldsWhatTheViewerDraws) {
    Scene scene;
    scene.objectCount = 2;
    // Index 7 lies past the arrays: the strip goes on without it, through
    // triangles of no area. Normals of any length.
    scene.names[0] = std::string("t\xEAte\0old", 8);
    scene.positions[0] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}};
    scene.normals[0] = {{0, 0, 2}, {0, 3, 0}, {4, 0, 0}, {0, 0, 0.5f}, {1, 1, 1}};
    scene.texCoords[0] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 1}};
    scene.indices[0] = {0, 1, 2, 2, 7, 3, 4}, scene.indexCount[0] = 7;
    // Nameless, no texture coordinates, a normal of no length, a count past the indices.
    scene.positions[1] = {{0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
    scene.normals[1] = {{0, 0, 1}, {0, 0, 0}, {0, 0, 1}, {0, 0, 1}};
    scene.indices[1] = {0, 1, 2, 3}, scene.indexCount[1] = 100;
    scene.hasPositions = scene.hasNormals = scene.hasIndices = {1, 1};
    scene.hasTexCoords[0] = 1;
    TextureStore store(Generation::Current);
    const std::vector<std::uint8_t> picture = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 255, 9, 9, 9, 0};
    store.importRgba(2, 2, picture);

    const auto glb = gltfBytes(Generation::Current, scene, store, {});
    ASSERT_TRUE(glb);
    // The validator checks the framing of real files; here the JSON chunk's length is enough.
    std::uint32_t length = 0;
    std::memcpy(&length, glb->data() + 12, 4);
    const auto gltf = nlohmann::json::parse(glb->begin() + 20, glb->begin() + 20 + length);
    const auto view = [&](const nlohmann::json& index) {
        const auto& entry = gltf["bufferViews"][index.get<int>()];
        const auto* bytes = glb->data() + 28 + length + entry["byteOffset"].get<std::size_t>();
        return std::vector<std::uint8_t>(bytes, bytes + entry["byteLength"].get<std::size_t>());
    };
    const auto data = [&](const nlohmann::json& at) { return view(gltf["accessors"][at.get<int>()]["bufferView"]); };

    const std::vector<std::uint16_t> triangles[] = {{0, 1, 2, 3, 2, 4}, {0, 1, 2, 2, 1, 3}};
    for (int s : {0, 1}) {
        const auto& node = gltf["nodes"][s];
        EXPECT_EQ(node["name"], s == 0 ? "t\u00EAte" : "Object:01");
        const auto& primitive = gltf["meshes"][node["mesh"].get<int>()]["primitives"][0];
        EXPECT_EQ(data(primitive["indices"]), bytesOf(triangles[s]));
        EXPECT_EQ(data(primitive["attributes"]["POSITION"]), bytesOf(scene.positions[s]));
        // The zero normal leaves the second object its positions alone.
        EXPECT_EQ(primitive["attributes"].size(), s == 0 ? 3u : 1u);
        const auto& material = gltf["materials"][primitive["material"].get<int>()];
        EXPECT_EQ(material.value("alphaMode", "OPAQUE"), s == 0 ? "MASK" : "OPAQUE");
        EXPECT_EQ(material["pbrMetallicRoughness"].contains("baseColorTexture"), s == 0);
    }
    const auto& attributes = gltf["meshes"][0]["primitives"][0]["attributes"];
    const auto r = static_cast<float>(1 / std::sqrt(3.0));
    const std::vector<Vec3f> units = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}, {0, 0, 1}, {r, r, r}};
    EXPECT_EQ(data(attributes["NORMAL"]), bytesOf(units));
    EXPECT_EQ(data(attributes["TEXCOORD_0"]), bytesOf(scene.texCoords[0]));
    ASSERT_EQ(gltf["images"].size(), 1u);
    const auto png = view(gltf["images"][0]["bufferView"]);
    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
        stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &width, &height, &channels, 4),
        stbi_image_free);
    ASSERT_TRUE(pixels && width == 2 && height == 2);
    EXPECT_EQ(std::vector<std::uint8_t>(pixels.get(), pixels.get() + 16), picture);
}

}  // namespace
}  // namespace kelvane
