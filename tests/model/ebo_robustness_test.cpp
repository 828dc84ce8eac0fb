// Feeds thousands of truncated and mutated versions of valid files of both
// generations to the readers: nothing may crash or read outside the file
// (the sanitizer build checks that), and the store must stay consistent.
#include <gtest/gtest.h>

#include <random>

#include "model/ebo_reader.h"
#include "tests/builders/ebo_builder.h"

namespace kelvane {
namespace {

using test::quadObject;

std::vector<std::uint8_t> sampleFile(Generation generation) {
    auto big = quadObject("big");
    for (int i = 0; i < 6; ++i) big.strip.push_back(static_cast<std::uint16_t>(i % 4));
    return test::makeEbo({quadObject("head"), quadObject("eyes", 2, 0, 0, false), big}, generation);
}

std::vector<std::uint8_t> mutate(std::vector<std::uint8_t> bytes, std::mt19937& rng) {
    if (bytes.empty()) return bytes;
    std::uniform_int_distribution<int> kind(0, 3);
    const auto pick = [&] { return std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(rng); };
    switch (kind(rng)) {
        case 0:  // truncated anywhere
            bytes.resize(pick());
            break;
        case 1:  // a few random bytes
            for (int i = 0; i < 3; ++i) bytes[pick()] = static_cast<std::uint8_t>(rng());
            break;
        default: {  // a 32-bit field set to an extreme value
            static constexpr std::uint32_t extremes[] = {0, 1, 2, 12, 0x7fff, 0x8000, 0xffff, 0x7fffffff, 0x80000000,
                                                         0xffffffff, 0xfffffff0};
            const std::size_t at = pick() & ~std::size_t{1};
            const std::uint32_t value = extremes[rng() % std::size(extremes)];
            for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
                bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }
    return bytes;
}

// What drawing and the menus rely on after any load.
void expectConsistent(const Scene& scene, Generation generation, bool read, std::size_t fileSize, int trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    ASSERT_GE(scene.objectCount, 0);
    ASSERT_LE(scene.objectCount, kSceneSlots);
    const bool legacy = generation == Generation::Legacy;
    bool anyNormals = false;
    for (int s = 0; s < kSceneSlots; ++s) {
        if (scene.hasPositions[s]) {
            ASSERT_LE(scene.positions[s].size() * 12, fileSize);
        }
        if (scene.hasTexCoords[s]) {
            ASSERT_LE(scene.texCoords[s].size() * 8, fileSize);
        }
        if (scene.hasNormals[s]) {
            ASSERT_LE(scene.normals[s].size() * 12, fileSize);
        }
        anyNormals = anyNormals || scene.hasNormals[s];
        if (!scene.hasIndices[s]) continue;
        // Drawing walks indexCount entries (triangles in legacy): they must all exist.
        const std::int64_t used = legacy ? 3 * std::max(0, scene.indexCount[s]) : std::max(0, scene.indexCount[s]);
        ASSERT_EQ(static_cast<std::int64_t>(scene.indices[s].size()), used);
        ASSERT_LE(scene.indices[s].size() * 2, legacy ? 3 * fileSize : fileSize);
    }
    if (legacy) {
        ASSERT_FALSE(anyNormals);
        return;
    }
    // A rejected file turns lighting off but keeps the earlier objects.
    ASSERT_EQ(scene.normalsPresent, read && anyNormals ? 1 : 0);
    ASSERT_EQ(scene.lightingOn, scene.normalsPresent);
    for (int s = 0; s < scene.objectCount; ++s)
        ASSERT_TRUE(scene.hasPositions[s] && scene.hasTexCoords[s] && scene.hasIndices[s]) << "slot " << s;
    for (const auto& name : scene.names) {
        ASSERT_TRUE(name.has_value());
        ASSERT_LE(name->size(), 255u);
    }
}

void fuzz(Generation generation, unsigned seed) {
    const auto original = sampleFile(generation);
    std::mt19937 rng(seed);
    int withProblem = 0;
    for (int trial = 0; trial < 2500; ++trial) {
        auto bytes = mutate(original, rng);
        if (rng() % 4 == 0) bytes = mutate(std::move(bytes), rng);
        const std::size_t size = bytes.size();
        // A load that changes nothing of the store must still leave it consistent.
        Scene scene;
        loadEboBytes(generation, scene, sampleFile(generation));
        std::optional<ReadProblem> problem;
        const std::int32_t result = loadEboBytes(generation, scene, std::move(bytes), &problem);
        ASSERT_TRUE(result == 0 || result == 1);
        if (result == 0) {
            ASSERT_TRUE(problem) << "a rejected file says why (trial " << trial << ")";
        }
        withProblem += problem.has_value();
        expectConsistent(scene, generation, result == 1, std::max(size, original.size()), trial);
        if (::testing::Test::HasFatalFailure()) return;
    }
    // The mutations are strong enough to hit the checks.
    EXPECT_GT(withProblem, 500);
}

TEST(EboRobustness, CurrentReaderSurvivesDamagedFiles) { fuzz(Generation::Current, 1234); }
TEST(EboRobustness, LegacyReaderSurvivesDamagedFiles) { fuzz(Generation::Legacy, 5678); }

}  // namespace
}  // namespace kelvane
