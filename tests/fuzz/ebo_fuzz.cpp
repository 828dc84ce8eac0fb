// One EBO reader (the generation is chosen when building) on any bytes,
// loaded over a model so that a load that changes little must still leave
// the store consistent: what drawing and the menus rely on.
#include <algorithm>

#include "model/ebo_reader.h"
#include "tests/builders/test_files.h"
#include "tests/fuzz/fuzz_check.h"
#include "writers/ebo_writer.h"

using namespace kelvane;

constexpr Generation kGeneration = Generation::KELVANE_FUZZ_GENERATION;  // Current or Legacy, set when building
constexpr bool kLegacy = kGeneration == Generation::Legacy;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto earlier = writers::makeEbo(
        {test::quadObject("head"), test::quadObject("eyes", 2, 0, 0, false)}, kGeneration);
    Scene scene;
    loadEboBytes(kGeneration, scene, earlier);
    std::optional<ReadProblem> problem;
    const std::int32_t result = loadEboBytes(kGeneration, scene, {data, data + size}, &problem);
    FUZZ_CHECK(result == 1 || (result == 0 && problem));  // a rejected file says why
    const std::size_t fileSize = std::max(size, earlier.size());
    FUZZ_CHECK(scene.objectCount >= 0 && scene.objectCount <= kSceneSlots);
    bool anyNormals = false;
    for (int s = 0; s < kSceneSlots; ++s) {
        // Nothing allocated beyond what the file holds.
        FUZZ_CHECK(scene.hasPositions[s] * scene.positions[s].size() * 12 <= fileSize);
        FUZZ_CHECK(scene.hasTexCoords[s] * scene.texCoords[s].size() * 8 <= fileSize);
        FUZZ_CHECK(scene.hasNormals[s] * scene.normals[s].size() * 12 <= fileSize);
        anyNormals = anyNormals || scene.hasNormals[s];
        // Drawing walks indexCount entries (triangles in legacy): they must all exist.
        const std::int64_t used = (kLegacy ? 3 : 1) * std::max(0, scene.indexCount[s]);
        FUZZ_CHECK(!scene.hasIndices[s] || static_cast<std::int64_t>(scene.indices[s].size()) == used);
        // Every current object in use is whole and named.
        FUZZ_CHECK(kLegacy || s >= scene.objectCount ||
                   (scene.hasPositions[s] && scene.hasTexCoords[s] && scene.hasIndices[s]));
        FUZZ_CHECK(kLegacy || (scene.names[s].has_value() && scene.names[s]->size() <= 255u));
    }
    // No normals in legacy; a rejected current file turns normals off but keeps the earlier objects.
    // (Lighting follows normals, as the EBO reader and inspect tests pin.)
    FUZZ_CHECK(kLegacy ? !anyNormals : scene.normalsPresent == (result == 1 && anyNormals ? 1 : 0));
    return 0;
}
