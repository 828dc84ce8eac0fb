#include <gtest/gtest.h>

#include "model/ebo_reader.h"
#include "tests/model/scene_checks.h"

namespace kelvane {
namespace {

using namespace test;
using namespace writers;

constexpr auto kLegacy = Generation::Legacy;

// A record descriptor (kind 0) gives size and stride; a data descriptor leads to the data itself.
EboDescriptor record(std::int32_t stride, std::int32_t byteSize) {
    EboDescriptor d = arrayDescriptor(stride, {});
    d.byteSize = byteSize;
    return d;
}
template <typename T>
EboDescriptor data(const std::vector<T>& values) {
    EboDescriptor d;
    d.kind = 7;
    d.data = bytesOf(values);
    return d;
}

// One section holding these descriptors.
std::vector<std::uint8_t> fileOf(std::vector<EboDescriptor> descriptors) {
    EboFile file;
    file.generation = kLegacy;
    file.sections = {sectionOf(std::move(descriptors))};
    return buildEbo(file).bytes;
}

std::optional<ReadProblem> load(Scene& scene, std::vector<std::uint8_t> bytes) {
    std::optional<ReadProblem> problem;
    EXPECT_EQ(loadLegacyEboBytes(scene, std::move(bytes), &problem), 1);
    return problem;
}

const std::vector<Vec3f> kPositions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 2}, {2, -1, 0}};
const std::vector<Vec2f> kUv = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 2}};
const std::vector<std::uint16_t> kStrip = {0, 1, 2, 3, 4};

TEST(LegacyEboReader, RecordDataPairsFillOneSlotWithATriangleList) {
    Scene scene;
    EXPECT_FALSE(load(scene, fileOf({record(12, 60), data(kPositions), record(8, 40), data(kUv), record(2, 10), data(kStrip)})));
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_EQ(scene.visible[0], 1);
    EXPECT_EQ(scene.positions[0].size(), 5u);
    EXPECT_EQ(scene.texCoords[0].size(), 5u);
    EXPECT_EQ(boundsOf(scene, 0), (std::array<float, 6>{0, 2, -1, 1, 0, 2}));
    EXPECT_EQ(scene.indexCount[0], 3);
    // Consecutive triangles share two entries; odd ones keep the strip's order.
    EXPECT_EQ(scene.indices[0], (std::vector<std::uint16_t>{0, 1, 2, 1, 2, 3, 2, 3, 4}));
}

TEST(LegacyEboReader, TwoRecordsInARowStartANewSlot) {
    Scene scene;
    load(scene, fileOf({record(0, 0), record(12, 60), data(kPositions), record(8, 40), data(kUv)}));
    EXPECT_EQ(scene.objectCount, 2);
    EXPECT_EQ(arraysOf(scene, 0) + arraysOf(scene, 1), "----P-T-");
    EXPECT_EQ(scene.visible[0], 1);
    EXPECT_EQ(scene.visible[1], 0);

    // No descriptors at all: one empty, visible slot.
    load(scene, fileOf({}));
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_EQ(arraysOf(scene, 0), "----");
    EXPECT_EQ(scene.visible[0], 1);
}

TEST(LegacyEboReader, ShortStripsGiveNoTriangles) {
    for (auto [size, count] : {std::pair{4, 0}, {2, -1}, {0, -2}, {-6, -5}}) {
        Scene scene;
        load(scene, fileOf({record(2, size), data(kStrip)}));
        EXPECT_EQ(scene.hasIndices[0], 1) << size;
        EXPECT_EQ(scene.indexCount[0], count) << size;
        EXPECT_TRUE(scene.indices[0].empty()) << size;
    }
}

TEST(LegacyEboReader, ASecondArrayOfTheSameStrideIsSkipped) {
    Scene scene;
    load(scene, fileOf({record(12, 12), data(std::vector<Vec3f>{{1, 1, 1}}), data(kPositions), record(2, 6), data(kStrip),
                        data(std::vector<std::uint16_t>{4, 4, 4})}));
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_EQ(scene.positions[0].size(), 1u);
    EXPECT_EQ(scene.indices[0], (std::vector<std::uint16_t>{0, 1, 2}));
}

TEST(LegacyEboReader, ASecondLoadClearsOnlyTheSlotsItReaches) {
    Scene scene;
    load(scene, makeEbo(quads(4), kLegacy));
    EXPECT_EQ(scene.objectCount, 4);
    scene.visible.fill(1);
    load(scene, makeEbo(quads(2), kLegacy));
    EXPECT_EQ(scene.objectCount, 2);
    EXPECT_EQ(scene.visible[1], 0);  // reached, so cleared
    EXPECT_EQ(scene.visible[2], 1);  // not reached: left as it was, beyond the count
}

TEST(LegacyEboReader, UnopenableFilesAndShortHeadersLeaveTheStoreAsItWas) {
    Scene scene;
    load(scene, makeEbo(quads(2), kLegacy));
    std::optional<ReadProblem> problem;
    EXPECT_EQ(loadEbo(kLegacy, scene, "/nonexistent/kelvane/legacy.ebo", &problem), 1);
    EXPECT_TRUE(problem);
    EXPECT_TRUE(load(scene, std::vector<std::uint8_t>(40, 0)));
    EXPECT_EQ(scene.objectCount, 2);
    EXPECT_EQ(arraysOf(scene, 1), "P-TI");
}

TEST(LegacyEboReaderBadInput, DataBeforeAnyRecordIsSkippedAndReported) {
    Scene scene;
    const auto problem = load(scene, fileOf({data(kPositions), record(8, 40), data(kUv)}));
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_EQ(arraysOf(scene, 0), "--T-");
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "descriptor");
}

TEST(LegacyEboReaderBadInput, KeepsTheFirst20SlotsAndTheStripEntriesInTheFile) {
    Scene scene;
    EXPECT_TRUE(load(scene, makeEbo(quads(25), kLegacy)));
    EXPECT_EQ(scene.objectCount, 20);
    EXPECT_EQ(scene.minX[19], 19.0f);

    const auto problem = load(scene, fileOf({record(2, 1000), data(kStrip)}));  // 5 entries in the file
    EXPECT_EQ(scene.indexCount[0], 3);
    EXPECT_EQ(scene.indices[0].size(), 9u);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "strip");
}

}  // namespace
}  // namespace kelvane
