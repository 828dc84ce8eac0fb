// Feeds thousands of truncated and mutated versions of valid files of both
// generations to the readers: nothing may crash or read outside the file
// (the sanitizer build checks that), and the store must stay consistent.
#include <gtest/gtest.h>

#include <random>

#include "model/ebo_reader.h"
#include "tests/builders/ebo_builder.h"

namespace kelvane {
namespace {

std::vector<std::uint8_t> sampleFile(Generation generation) {
    auto big = test::quadObject("big");
    for (int i = 0; i < 6; ++i) big.strip.push_back(static_cast<std::uint16_t>(i % 4));
    return test::makeEbo({test::quadObject("head"), test::quadObject("eyes", 2, 0, 0, false), big}, generation);
}

// Truncates anywhere, sets a few random bytes, or sets a 32-bit field to an extreme value.
std::vector<std::uint8_t> mutate(std::vector<std::uint8_t> bytes, std::mt19937& rng) {
    static constexpr std::uint32_t extremes[] = {0, 1, 2, 12, 0x7fff, 0x8000, 0xffff, 0x7fffffff, 0x80000000, 0xffffffff,
                                                 0xfffffff0};
    const auto pick = [&] { return std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(rng); };
    const unsigned kind = rng() % 4;
    if (bytes.empty()) return bytes;
    if (kind == 0) bytes.resize(pick());
    for (int i = 0; kind == 1 && i < 3; ++i) bytes[pick()] = static_cast<std::uint8_t>(rng());
    if (kind >= 2) {
        const std::size_t at = pick() & ~std::size_t{1};
        const std::uint32_t value = extremes[rng() % std::size(extremes)];
        for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    return bytes;
}

// What drawing and the menus rely on after any load.
void expectConsistent(const Scene& scene, bool legacy, bool read, std::size_t fileSize) {
    ASSERT_GE(scene.objectCount, 0);
    ASSERT_LE(scene.objectCount, kSceneSlots);
    bool anyNormals = false;
    for (int s = 0; s < kSceneSlots; ++s) {
        ASSERT_LE(scene.hasPositions[s] * scene.positions[s].size() * 12, fileSize);
        ASSERT_LE(scene.hasTexCoords[s] * scene.texCoords[s].size() * 8, fileSize);
        ASSERT_LE(scene.hasNormals[s] * scene.normals[s].size() * 12, fileSize);
        anyNormals = anyNormals || scene.hasNormals[s];
        if (!scene.hasIndices[s]) continue;
        // Drawing walks indexCount entries (triangles in legacy): they must all exist.
        const std::int64_t used = (legacy ? 3 : 1) * std::max(0, scene.indexCount[s]);
        ASSERT_EQ(static_cast<std::int64_t>(scene.indices[s].size()), used);
        ASSERT_LE(scene.indices[s].size() * 2, (legacy ? 3 : 1) * fileSize);
    }
    ASSERT_FALSE(legacy && anyNormals);
    if (legacy) return;
    // A rejected file turns lighting off but keeps the earlier objects.
    ASSERT_EQ(scene.normalsPresent, read && anyNormals ? 1 : 0);
    ASSERT_EQ(scene.lightingOn, scene.normalsPresent);
    for (int s = 0; s < scene.objectCount; ++s)
        ASSERT_TRUE(scene.hasPositions[s] && scene.hasTexCoords[s] && scene.hasIndices[s]) << "slot " << s;
    for (const auto& name : scene.names) ASSERT_TRUE(name.has_value() && name->size() <= 255u);
}

void fuzz(Generation generation, unsigned seed) {
    const auto original = sampleFile(generation);
    std::mt19937 rng(seed);
    int withProblem = 0;
    for (int trial = 0; trial < 2500 && !::testing::Test::HasFatalFailure(); ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        auto bytes = mutate(original, rng);
        if (rng() % 4 == 0) bytes = mutate(std::move(bytes), rng);
        const std::size_t size = std::max(bytes.size(), original.size());
        // Loaded over a model, so that a load that changes little must still leave the store consistent.
        Scene scene;
        loadEboBytes(generation, scene, original);
        std::optional<ReadProblem> problem;
        const std::int32_t result = loadEboBytes(generation, scene, std::move(bytes), &problem);
        ASSERT_TRUE(result == 1 || (result == 0 && problem)) << "a rejected file says why";
        withProblem += problem.has_value();
        expectConsistent(scene, generation == Generation::Legacy, result == 1, size);
    }
    EXPECT_GT(withProblem, 500) << "the mutations are strong enough to hit the checks";
}

TEST(EboRobustness, CurrentReaderSurvivesDamagedFiles) { fuzz(Generation::Current, 1234); }
TEST(EboRobustness, LegacyReaderSurvivesDamagedFiles) { fuzz(Generation::Legacy, 5678); }

}  // namespace
}  // namespace kelvane
