#include "export/gltf_export.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/latin1.h"
#include "common/version.h"
#include "export/image_writer.h"
#include "export/replace_file.h"
#include "render/drawn_triangles.h"
#include "render/frame_images.h"
#include "textures/slot_images.h"

namespace kelvane {

namespace {

// Ordered, so the file reads in the order it was built: asset first.
using Json = nlohmann::ordered_json;

// The GL numbers glTF uses.
constexpr int kFloat = 5126, kUnsignedShort = 5123, kUnsignedInt = 5125;
constexpr int kArrayBuffer = 34962, kElementArrayBuffer = 34963;
constexpr int kLinear = 9729, kRepeat = 10497;
constexpr std::uint32_t kGlbMagic = 0x46546C67, kJsonChunk = 0x4E4F534A, kBinChunk = 0x004E4942;
constexpr std::uint64_t kGlbLimit = std::numeric_limits<std::uint32_t>::max();

// The name an object is exported with: its Latin-1 name up to the first
// NUL, or, where it has none (always in the earlier generation), the
// "Object:NN" of that generation's menu.
std::string objectName(Generation generation, const Scene& scene, int s) {
    if (traits(generation).objectNames && scene.names[s]) {
        const std::string_view name = *scene.names[s];
        if (const auto cut = name.substr(0, name.find('\0')); !cut.empty()) return latin1ToUtf8(cut);
    }
    char label[16];
    std::snprintf(label, sizeof label, "Object:%02d", s);
    return label;
}

bool finite(const Vec3f& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
bool finite(const Vec2f& v) { return std::isfinite(v.u) && std::isfinite(v.v); }

// glTF wants unit normals; nothing when the stored one has no direction.
std::optional<Vec3f> unitNormal(const Vec3f& n) {
    // In double, so that tiny float normals keep their direction.
    const double x = n.x, y = n.y, z = n.z, length = std::sqrt(x * x + y * y + z * z);
    if (!std::isfinite(length) || length == 0) return std::nullopt;
    return Vec3f{static_cast<float>(x / length), static_cast<float>(y / length), static_cast<float>(z / length)};
}

// What of an object goes into its mesh: the triangles drawing sends and
// vertices 0 up to the highest corner, so vertex k is the file's vertex k.
struct ObjectMesh {
    std::vector<TriangleCorners> triangles;
    std::size_t vertices = 0;
    bool texCoords = false;
    bool normals = false;
};

ObjectMesh meshOf(Generation generation, const Scene& scene, int s) {
    ObjectMesh mesh;
    // Without positions drawing sends no vertex at all.
    if (scene.hasPositions[s] == 0) return mesh;
    mesh.texCoords = scene.hasTexCoords[s] != 0;
    const auto placed = [&](std::size_t k) {
        return finite(scene.positions[s][k]) && (!mesh.texCoords || finite(scene.texCoords[s][k]));
    };
    // A corner that is not a number has no place: its triangle is left out.
    for (const TriangleCorners& t : drawnTriangles(generation, scene, s)) {
        if (!placed(t[0]) || !placed(t[1]) || !placed(t[2])) continue;
        mesh.triangles.push_back(t);
        mesh.vertices = std::max<std::size_t>(mesh.vertices, *std::max_element(t.begin(), t.end()) + 1u);
    }
    // Every corner is inside the normals drawing reads (see arraysDrawn).
    mesh.normals = arraysDrawn(generation, scene, s).normals &&
                   std::all_of(scene.normals[s].begin(), scene.normals[s].begin() + mesh.vertices,
                               [](const Vec3f& n) { return unitNormal(n).has_value(); });
    return mesh;
}

// The JSON and the binary chunk, built side by side.
struct Glb {
    Json json{{"asset", {{"generator", std::string("Kelvane ") + kVersion}, {"version", "2.0"}}}};
    std::vector<std::uint8_t> bin;

    int add(const char* list, Json value) {
        Json& entries = json[list];
        entries.push_back(std::move(value));
        return static_cast<int>(entries.size()) - 1;
    }

    // Buffer views start on 4-byte boundaries, as every accessor's component needs.
    int view(const void* data, std::size_t size, int target) {
        bin.resize((bin.size() + 3) & ~std::size_t{3}, 0);
        Json entry{{"buffer", 0}, {"byteOffset", bin.size()}, {"byteLength", size}};
        if (target != 0) entry["target"] = target;
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        bin.insert(bin.end(), bytes, bytes + size);
        return add("bufferViews", std::move(entry));
    }

    int floats(const std::vector<float>& values, std::size_t count, const char* type) {
        return add("accessors", {{"bufferView", view(values.data(), values.size() * sizeof(float), kArrayBuffer)},
                                 {"componentType", kFloat},
                                 {"count", count},
                                 {"type", type}});
    }
};

int positionAccessor(Glb& glb, std::span<const Vec3f> positions, std::size_t count) {
    std::vector<float> values;
    values.reserve(count * 3);
    std::array<float, 3> min{}, max{};
    for (std::size_t k = 0; k < count; ++k) {
        // A vertex no triangle uses may be no number; glTF wants numbers.
        const Vec3f p = finite(positions[k]) ? positions[k] : Vec3f{0, 0, 0};
        const std::array<float, 3> xyz{p.x, p.y, p.z};
        for (int i = 0; i < 3; ++i) {
            min[i] = k == 0 ? xyz[i] : std::min(min[i], xyz[i]);
            max[i] = k == 0 ? xyz[i] : std::max(max[i], xyz[i]);
            values.push_back(xyz[i]);
        }
    }
    const int accessor = glb.floats(values, count, "VEC3");
    glb.json["accessors"][accessor]["min"] = min;
    glb.json["accessors"][accessor]["max"] = max;
    return accessor;
}

int texCoordAccessor(Glb& glb, std::span<const Vec2f> texCoords, std::size_t count) {
    std::vector<float> values;
    values.reserve(count * 2);
    for (std::size_t k = 0; k < count; ++k) {
        const Vec2f uv = finite(texCoords[k]) ? texCoords[k] : Vec2f{0, 0};
        values.push_back(uv.u), values.push_back(uv.v);
    }
    return glb.floats(values, count, "VEC2");
}

int normalAccessor(Glb& glb, std::span<const Vec3f> normals, std::size_t count) {
    std::vector<float> values;
    values.reserve(count * 3);
    for (std::size_t k = 0; k < count; ++k) {
        const Vec3f n = *unitNormal(normals[k]);
        values.push_back(n.x), values.push_back(n.y), values.push_back(n.z);
    }
    return glb.floats(values, count, "VEC3");
}

// 16-bit indices while every vertex has one below 65535, which strips of
// 16-bit indices reach only with 65536 vertices.
template <typename Index>
int indexAccessorOf(Glb& glb, const std::vector<TriangleCorners>& triangles, int componentType) {
    std::vector<Index> values;
    values.reserve(triangles.size() * 3);
    for (const TriangleCorners& t : triangles) values.insert(values.end(), t.begin(), t.end());
    return glb.add("accessors",
                   {{"bufferView", glb.view(values.data(), values.size() * sizeof(Index), kElementArrayBuffer)},
                    {"componentType", componentType},
                    {"count", values.size()},
                    {"type", "SCALAR"}});
}

int indexAccessor(Glb& glb, const ObjectMesh& mesh) {
    return mesh.vertices < 65536 ? indexAccessorOf<std::uint16_t>(glb, mesh.triangles, kUnsignedShort)
                                 : indexAccessorOf<std::uint32_t>(glb, mesh.triangles, kUnsignedInt);
}

bool sameImage(const ShownImage& a, const ShownImage& b) {
    return a.width == b.width && a.height == b.height &&
           std::memcmp(a.pixels, b.pixels, std::size_t{a.width} * a.height * 4) == 0;
}

// The materials: one per image drawn with (each image embedded once, even
// when two slots hold the same pixels), and a plain white one for objects
// drawn untextured (the blank slot, an image that cannot be shown) or that
// have no texture coordinates to place an image by.
class Materials {
public:
    Materials(Glb& glb, const SceneImages& images) : glb_(glb), images_(images) {}

    Result<int> of(std::size_t image, bool texCoords) {
        const ShownImage& shown = images_.images[image].image;
        const bool textured = texCoords && shown.pixels && shown.width > 0 && shown.height > 0;
        const int key = textured ? static_cast<int>(image) : -1;
        if (const auto found = materials_.find(key); found != materials_.end()) return found->second;
        Json pbr{{"baseColorFactor", {1.0, 1.0, 1.0, 1.0}}, {"metallicFactor", 0.0}, {"roughnessFactor", 1.0}};
        Json material{{"doubleSided", true}};
        if (textured) {
            const auto texture = textureOf(shown);
            if (!texture) return texture.problem();
            pbr["baseColorTexture"] = {{"index", *texture}};
            // The viewers' alpha test drops texels of alpha 0.1 or less.
            const std::size_t pixels = std::size_t{shown.width} * shown.height;
            for (std::size_t i = 0; i < pixels; ++i)
                if (shown.pixels[4 * i + 3] < 255) {
                    material["alphaMode"] = "MASK";
                    material["alphaCutoff"] = 0.1;
                    break;
                }
        }
        material["pbrMetallicRoughness"] = std::move(pbr);
        return materials_[key] = glb_.add("materials", std::move(material));
    }

private:
    Result<int> textureOf(const ShownImage& shown) {
        for (const auto& [earlier, texture] : textures_)
            if (sameImage(earlier, shown)) return texture;
        const std::vector<std::uint8_t> png = encodePng(shown.width, shown.height, shown.pixels);
        if (png.empty()) return failure("cannot encode a " + std::to_string(shown.width) + " x " +
                                        std::to_string(shown.height) + " image as PNG");
        if (textures_.empty())
            glb_.add("samplers",
                     {{"magFilter", kLinear}, {"minFilter", kLinear}, {"wrapS", kRepeat}, {"wrapT", kRepeat}});
        const int source = glb_.add("images", {{"bufferView", glb_.view(png.data(), png.size(), 0)},
                                               {"mimeType", "image/png"}});
        const int texture = glb_.add("textures", {{"sampler", 0}, {"source", source}});
        textures_.emplace_back(shown, texture);
        return texture;
    }

    Glb& glb_;
    const SceneImages& images_;
    std::map<int, int> materials_;
    std::vector<std::pair<ShownImage, int>> textures_;
};

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

Result<std::vector<std::uint8_t>> gltfBytes(Generation generation, const Scene& scene, const TextureStore& textures,
                                            const GltfChoices& choices) {
    std::vector<int> objects;
    std::uint64_t indexBytes = 0;
    for (int s = 0; s < slotsInUse(scene); ++s) {
        if (choices.visibleOnly && scene.visible[s] == 0) continue;
        objects.push_back(s);
        indexBytes += 12 * std::uint64_t{scene.indices[s].size()};
    }
    // Before building: no file the readers take makes more triangles than indices.
    const ReadProblem tooLarge = failure("the model is too large for a binary glTF file (4 GiB at most)");
    if (indexBytes > kGlbLimit) return tooLarge;

    SlotImages decoded;
    const SceneImages images = choices.byName ? imagesByName(scene, textures, decoded) : chosenImageOnly(textures);
    Glb glb;
    Materials materials(glb, images);
    Json nodes = Json::array();
    for (const int s : objects) {
        const std::string name = objectName(generation, scene, s);
        Json node{{"name", name}};
        const ObjectMesh mesh = meshOf(generation, scene, s);
        // An object with nothing to draw stays a node, so that every object
        // keeps its name and place in the list.
        if (!mesh.triangles.empty()) {
            Json attributes{{"POSITION", positionAccessor(glb, scene.positions[s], mesh.vertices)}};
            if (mesh.texCoords) attributes["TEXCOORD_0"] = texCoordAccessor(glb, scene.texCoords[s], mesh.vertices);
            if (mesh.normals) attributes["NORMAL"] = normalAccessor(glb, scene.normals[s], mesh.vertices);
            const auto material = materials.of(images.imageOf[s], mesh.texCoords);
            if (!material) return material.problem();
            Json primitive{{"attributes", std::move(attributes)},
                           {"indices", indexAccessor(glb, mesh)},
                           {"material", *material}};
            node["mesh"] = glb.add("meshes", {{"name", name}, {"primitives", Json::array({std::move(primitive)})}});
        }
        nodes.push_back(glb.add("nodes", std::move(node)));
    }
    glb.json["scene"] = 0;
    glb.json["scenes"] = Json::array({nodes.empty() ? Json::object() : Json{{"nodes", std::move(nodes)}}});
    glb.bin.resize((glb.bin.size() + 3) & ~std::size_t{3}, 0);
    if (!glb.bin.empty()) glb.add("buffers", {{"byteLength", glb.bin.size()}});

    std::string text = glb.json.dump();
    text.resize((text.size() + 3) & ~std::size_t{3}, ' ');
    const std::uint64_t total = 12 + 8 + text.size() + (glb.bin.empty() ? 0 : 8 + glb.bin.size());
    if (total > kGlbLimit) return tooLarge;
    std::vector<std::uint8_t> out;
    out.reserve(total);
    putU32(out, kGlbMagic);
    putU32(out, 2);
    putU32(out, static_cast<std::uint32_t>(total));
    putU32(out, static_cast<std::uint32_t>(text.size()));
    putU32(out, kJsonChunk);
    out.insert(out.end(), text.begin(), text.end());
    if (!glb.bin.empty()) {
        putU32(out, static_cast<std::uint32_t>(glb.bin.size()));
        putU32(out, kBinChunk);
        out.insert(out.end(), glb.bin.begin(), glb.bin.end());
    }
    return out;
}

Outcome writeGltf(Generation generation, const Scene& scene, const TextureStore& textures, const GltfChoices& choices,
                  const std::filesystem::path& out) {
    const auto bytes = gltfBytes(generation, scene, textures, choices);
    if (!bytes) return bytes.problem();
    return replaceFile(out, *bytes);
}

}  // namespace kelvane
