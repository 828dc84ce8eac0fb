#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "common/generation.h"
#include "common/read_problem.h"
#include "common/revision.h"
#include "model/scene.h"

namespace kelvane {

// Reads an EBO file of the later generation into the scene. Returns 1 when
// the file was read or could not be opened, 0 when it was rejected (it failed
// the limit test, or its header, first section or object table record lies
// outside the file).
// A malformed file is read as far as it is sound; `problem` receives the
// first thing found wrong.
std::int32_t loadEbo(Scene& scene, const std::filesystem::path& path, ProblemSink problem = nullptr);

// Reads an EBO file of the earlier generation (triangle lists, no names or
// normals). Always returns 1.
std::int32_t loadLegacyEbo(Scene& scene, const std::filesystem::path& path, ProblemSink problem = nullptr);

// The same readers for a file already in memory (as if it had been opened).
std::int32_t loadEboBytes(Scene& scene, std::vector<std::uint8_t> bytes, ProblemSink problem = nullptr);
std::int32_t loadLegacyEboBytes(Scene& scene, std::vector<std::uint8_t> bytes, ProblemSink problem = nullptr);

// The reader of the given generation. Either way the scene takes a fresh
// revision: whatever was worked out from it before is out of date.
inline std::int32_t loadEbo(Generation generation, Scene& scene, const std::filesystem::path& path,
                            ProblemSink problem = nullptr) {
    scene.revision = nextRevision();
    return generation == Generation::Legacy ? loadLegacyEbo(scene, path, problem) : loadEbo(scene, path, problem);
}
inline std::int32_t loadEboBytes(Generation generation, Scene& scene, std::vector<std::uint8_t> bytes,
                                 ProblemSink problem = nullptr) {
    scene.revision = nextRevision();
    return generation == Generation::Legacy ? loadLegacyEboBytes(scene, std::move(bytes), problem)
                                            : loadEboBytes(scene, std::move(bytes), problem);
}

}  // namespace kelvane
