#include <gtest/gtest.h>

#include "model/ebo_reader.h"
#include "tests/builders/ebo_builder.h"

namespace kelvane {
namespace {

using test::arrayDescriptor;
using test::bytesOf;
using test::EboDescriptor;
using test::quadObject;

constexpr auto kLegacy = Generation::Legacy;

EboDescriptor record(std::int32_t stride, std::int32_t byteSize) {
    EboDescriptor d = arrayDescriptor(stride, {});
    d.byteSize = byteSize;
    return d;
}

EboDescriptor data(std::vector<std::uint8_t> bytes) {
    EboDescriptor d;
    d.kind = 7;
    d.data = std::move(bytes);
    return d;
}

// One section holding these descriptors.
std::vector<std::uint8_t> fileOf(std::vector<EboDescriptor> descriptors) {
    test::EboFile file;
    file.generation = kLegacy;
    file.sections = {test::sectionOf(std::move(descriptors))};
    return test::buildEbo(file).bytes;
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
    EXPECT_FALSE(load(scene, fileOf({record(12, 60), data(bytesOf(kPositions)), record(8, 40), data(bytesOf(kUv)),
                                     record(2, 10), data(bytesOf(kStrip))})));
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_EQ(scene.visible[0], 1);
    EXPECT_EQ(scene.positions[0].size(), 5u);
    EXPECT_EQ(scene.texCoords[0].size(), 5u);
    EXPECT_EQ(scene.maxX[0], 2.0f);
    EXPECT_EQ(scene.minY[0], -1.0f);
    EXPECT_EQ(scene.maxZ[0], 2.0f);
    EXPECT_EQ(scene.indexCount[0], 3);
    // Consecutive triangles share two entries; odd ones keep the strip's order.
    EXPECT_EQ(scene.indices[0], (std::vector<std::uint16_t>{0, 1, 2, 1, 2, 3, 2, 3, 4}));
}

TEST(LegacyEboReader, TwoRecordsInARowStartANewSlot) {
    Scene scene;
    load(scene, fileOf({record(0, 0), record(12, 60), data(bytesOf(kPositions)), record(8, 40), data(bytesOf(kUv))}));
    EXPECT_EQ(scene.objectCount, 2);
    EXPECT_EQ(scene.hasPositions[0] + scene.hasTexCoords[0] + scene.hasIndices[0], 0);
    EXPECT_EQ(scene.hasPositions[1], 1);
    EXPECT_EQ(scene.hasTexCoords[1], 1);
    EXPECT_EQ(scene.visible[0], 1);
    EXPECT_EQ(scene.visible[1], 0);
}

TEST(LegacyEboReader, NoDescriptorsGiveOneEmptySlot) {
    Scene scene;
    load(scene, test::makeEbo({quadObject("a"), quadObject("b")}, kLegacy));
    EXPECT_EQ(scene.objectCount, 2);
    load(scene, fileOf({}));
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_EQ(scene.hasPositions[0] + scene.hasTexCoords[0] + scene.hasIndices[0], 0);
    EXPECT_EQ(scene.visible[0], 1);
}

TEST(LegacyEboReader, ShortStripsGiveNoTriangles) {
    for (auto [size, count] : {std::pair{4, 0}, {2, -1}, {0, -2}, {-6, -5}}) {
        Scene scene;
        load(scene, fileOf({record(2, size), data(bytesOf(kStrip))}));
        EXPECT_EQ(scene.hasIndices[0], 1) << size;
        EXPECT_EQ(scene.indexCount[0], count) << size;
        EXPECT_TRUE(scene.indices[0].empty()) << size;
    }
}

TEST(LegacyEboReader, ASecondArrayOfTheSameStrideIsSkipped) {
    Scene scene;
    load(scene, fileOf({record(12, 12), data(bytesOf(std::vector<Vec3f>{{1, 1, 1}})), data(bytesOf(kPositions)),
                        record(2, 6), data(bytesOf(kStrip)), data(bytesOf(std::vector<std::uint16_t>{4, 4, 4}))}));
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_EQ(scene.positions[0].size(), 1u);
    EXPECT_EQ(scene.indices[0], (std::vector<std::uint16_t>{0, 1, 2}));
}

TEST(LegacyEboReader, ObjectsOfTheBuilderAndASecondLoad) {
    Scene scene;
    load(scene, test::makeEbo({quadObject("a"), quadObject("b", 4), quadObject("c"), quadObject("d")}, kLegacy));
    EXPECT_EQ(scene.objectCount, 4);
    EXPECT_EQ(scene.minX[1], 4.0f);
    EXPECT_EQ(scene.indexCount[3], 2);
    scene.visible.fill(1);
    load(scene, test::makeEbo({quadObject("x"), quadObject("y")}, kLegacy));
    EXPECT_EQ(scene.objectCount, 2);
    EXPECT_EQ(scene.visible[1], 0);  // reached, so cleared
    EXPECT_EQ(scene.visible[2], 1);  // not reached: left as it was, beyond the count
}

TEST(LegacyEboReader, AFileThatCannotBeOpenedLeavesTheStoreAsItWas) {
    Scene scene;
    load(scene, test::makeEbo({quadObject("a"), quadObject("b")}, kLegacy));
    std::optional<ReadProblem> problem;
    EXPECT_EQ(loadEbo(kLegacy, scene, "/nonexistent/kelvane/legacy.ebo", &problem), 1);
    EXPECT_TRUE(problem);
    EXPECT_EQ(scene.objectCount, 2);
    EXPECT_EQ(scene.hasIndices[1], 1);
}

TEST(LegacyEboReaderBadInput, DataBeforeAnyRecordIsSkippedAndReported) {
    Scene scene;
    const auto problem = load(scene, fileOf({data(bytesOf(kPositions)), record(8, 40), data(bytesOf(kUv))}));
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_EQ(scene.hasPositions[0], 0);
    EXPECT_EQ(scene.hasTexCoords[0], 1);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "descriptor");
}

TEST(LegacyEboReaderBadInput, KeepsTheFirst20Slots) {
    std::vector<test::EboObject> many;
    for (int i = 0; i < 25; ++i) many.push_back(quadObject("", float(i)));
    Scene scene;
    const auto problem = load(scene, test::makeEbo(many, kLegacy));
    EXPECT_EQ(scene.objectCount, 20);
    EXPECT_EQ(scene.minX[19], 19.0f);
    EXPECT_TRUE(problem);
}

TEST(LegacyEboReaderBadInput, AStripRunningPastTheEndKeepsTheEntriesInTheFile) {
    auto bytes = fileOf({record(2, 1000), data(bytesOf(kStrip))});  // 5 entries in the file
    Scene scene;
    const auto problem = load(scene, bytes);
    EXPECT_EQ(scene.indexCount[0], 3);
    EXPECT_EQ(scene.indices[0].size(), 9u);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "strip");
}

TEST(LegacyEboReaderBadInput, AShortHeaderLeavesTheStoreAsItWas) {
    Scene scene;
    load(scene, test::makeEbo({quadObject("a"), quadObject("b")}, kLegacy));
    EXPECT_TRUE(load(scene, std::vector<std::uint8_t>(40, 0)));
    EXPECT_EQ(scene.objectCount, 2);
}

}  // namespace
}  // namespace kelvane
