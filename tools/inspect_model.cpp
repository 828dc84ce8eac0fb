// `kelvane-inspect model`: loads EBO files into one store, as the viewer's
// "Load EBO" does one after another, and prints what the store then holds.
#include <iostream>
#include <span>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/latin1.h"
#include "model/ebo_reader.h"
#include "tools/inspect_commands.h"
#include "tools/inspect_output.h"
#include "tools/json_float.h"

namespace kelvane::inspect {
namespace {

using Json = nlohmann::ordered_json;

struct ModelOptions {
    bool legacy = false;
    bool arrays = false;
    std::vector<std::string> files;
};

Json problemLine(const std::optional<ReadProblem>& problem) {
    if (!problem) return nullptr;
    // A file that cannot be opened has no field or offset to name.
    return problem->field.empty() ? problem->what : problem->describe();
}

Json vec3s(std::span<const Vec3f> values) {
    Json out = Json::array();
    for (const Vec3f& v : values) out.push_back({jsonFloat(v.x), jsonFloat(v.y), jsonFloat(v.z)});
    return out;
}

Json vec2s(std::span<const Vec2f> values) {
    Json out = Json::array();
    for (const Vec2f& v : values) out.push_back({jsonFloat(v.u), jsonFloat(v.v)});
    return out;
}

Json nameOf(const std::optional<std::string>& name) {
    if (!name) return nullptr;
    return latin1ToUtf8(*name);
}

// Fields the generation has no data for are left out.
Json objectJson(const Scene& scene, int s, const GenerationTraits& t, bool arrays) {
    const auto sizeIf = [](bool present, std::size_t size) { return present ? size : 0; };
    Json o;
    o["slot"] = s;
    if (t.objectNames) o["name"] = nameOf(scene.names[s]);
    o["visible"] = scene.visible[s];
    o["hasPositions"] = scene.hasPositions[s];
    if (t.normals) o["hasNormals"] = scene.hasNormals[s];
    o["hasTexCoords"] = scene.hasTexCoords[s];
    o["hasIndices"] = scene.hasIndices[s];
    o["vertexCount"] = sizeIf(scene.hasPositions[s], scene.positions[s].size());
    if (t.normals) o["normalCount"] = sizeIf(scene.hasNormals[s], scene.normals[s].size());
    o["texCoordCount"] = sizeIf(scene.hasTexCoords[s], scene.texCoords[s].size());
    o["indexCount"] = scene.hasIndices[s] ? scene.indexCount[s] : 0;
    o["min"] = {jsonFloat(scene.minX[s]), jsonFloat(scene.minY[s]), jsonFloat(scene.minZ[s])};
    o["max"] = {jsonFloat(scene.maxX[s]), jsonFloat(scene.maxY[s]), jsonFloat(scene.maxZ[s])};
    if (arrays) {
        o["positions"] = scene.hasPositions[s] ? vec3s(scene.positions[s]) : Json::array();
        if (t.normals) o["normals"] = scene.hasNormals[s] ? vec3s(scene.normals[s]) : Json::array();
        o["texCoords"] = scene.hasTexCoords[s] ? vec2s(scene.texCoords[s]) : Json::array();
        o["indices"] = scene.hasIndices[s] ? Json(std::vector<std::uint16_t>(scene.indices[s].begin(), scene.indices[s].end())) : Json::array();
    }
    return o;
}

int runModel(const ModelOptions& options) {
    const Generation generation = generationOf(options.legacy);
    const GenerationTraits& t = traits(generation);
    Scene scene;
    Json out;
    out["generation"] = t.name;
    Json loads = Json::array();
    bool clean = true;
    for (const std::string& path : options.files) {
        std::optional<ReadProblem> problem;
        const std::int32_t result = loadEbo(generation, scene, pathFromUtf8(path), &problem);
        clean = clean && !problem;
        loads.push_back({{"path", path}, {"result", result}, {"problem", problemLine(problem)}});
    }
    out["loads"] = std::move(loads);
    out["objectCount"] = scene.objectCount;
    if (t.normals) {
        out["normalsPresent"] = scene.normalsPresent;
        out["lightingOn"] = scene.lightingOn;
    }
    if (t.objectNames) {
        Json names = Json::array();
        for (const auto& name : scene.names) names.push_back(nameOf(name));
        out["names"] = std::move(names);
    }
    Json objects = Json::array();
    for (int s = 0; s < scene.objectCount; ++s) objects.push_back(objectJson(scene, s, t, options.arrays));
    out["objects"] = std::move(objects);
    // Paths are bytes, not always UTF-8: show a stray byte as U+FFFD rather than fail.
    std::cout << out.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
    return clean ? 0 : 1;
}

}  // namespace

void addModelCommand(CLI::App& app, int& status) {
    auto options = std::make_shared<ModelOptions>();
    CLI::App* cmd = app.add_subcommand("model", "Load EBO files one after another and print what the viewer holds");
    cmd->add_flag("--legacy", options->legacy, "read the earlier generation's files");
    cmd->add_flag("--arrays", options->arrays, "list every array's elements");
    cmd->add_option("FILE", options->files, "EBO files, loaded in turn into one store")->required();
    cmd->callback([options, &status] { status = runModel(*options); });
}

}  // namespace kelvane::inspect
