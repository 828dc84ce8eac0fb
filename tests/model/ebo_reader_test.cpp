#include "model/ebo_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/builders/ebo_builder.h"

namespace kelvane {
namespace {

using test::arrayDescriptor;
using test::bytesOf;
using test::EboFile;
using test::EboObject;
using test::quadObject;

constexpr auto kCurrent = Generation::Current;

std::optional<ReadProblem> load(Scene& scene, std::vector<std::uint8_t> bytes, std::int32_t* result = nullptr) {
    std::optional<ReadProblem> problem;
    const std::int32_t r = loadEboBytes(scene, std::move(bytes), &problem);
    if (result) *result = r;
    return problem;
}

// A file whose arrays section holds exactly these descriptors.
EboFile withArrays(std::vector<test::EboDescriptor> descriptors, std::vector<std::string> names = {"a"}) {
    EboFile file;
    file.names = std::move(names);
    file.sections = {{}, test::sectionOf(std::move(descriptors))};
    return file;
}

const std::vector<Vec3f> kTriangle = {{0, 0, 0}, {1, 2, 3}, {-1, 5, -2}};
const std::vector<Vec2f> kUv = {{0, 0}, {1, 0}, {0, 1}};
const std::vector<std::uint16_t> kStrip = {0, 1, 2};

TEST(EboReader, FourArraysFillOneObjectWithNormalsAndLighting) {
    EboObject head = quadObject("head", 2, 3, 4);
    Scene scene;
    std::int32_t result = -1;
    EXPECT_FALSE(load(scene, test::makeEbo({head}, kCurrent), &result));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_EQ(scene.hasPositions[0] + scene.hasNormals[0] + scene.hasTexCoords[0] + scene.hasIndices[0], 4);
    EXPECT_EQ(scene.normalsPresent, 1);
    EXPECT_EQ(scene.lightingOn, 1);
    EXPECT_EQ(scene.visible[0], 1);
    EXPECT_EQ(scene.names[0], "head");
    for (int i = 1; i < kSceneSlots; ++i) EXPECT_EQ(scene.names[i], "SCRATCH");
    ASSERT_EQ(scene.positions[0].size(), 4u);
    EXPECT_EQ(scene.positions[0][3].x, 3.0f);
    EXPECT_EQ(scene.normals[0][1].z, 1.0f);
    EXPECT_EQ(scene.texCoords[0][1].u, 1.0f);
    EXPECT_EQ(scene.indices[0], head.strip);
    EXPECT_EQ(scene.indexCount[0], 4);
    EXPECT_EQ(scene.minX[0], 2.0f);
    EXPECT_EQ(scene.maxX[0], 3.0f);
    EXPECT_EQ(scene.minY[0], 3.0f);
    EXPECT_EQ(scene.maxY[0], 4.0f);
    EXPECT_EQ(scene.minZ[0], 4.0f);
    EXPECT_EQ(scene.maxZ[0], 4.0f);
}

TEST(EboReader, ObjectsFillSlotsInOrderWithOnlyTheFirstVisible) {
    Scene scene;
    EXPECT_FALSE(load(scene, test::makeEbo({quadObject("head"), quadObject("eyes", 5, 0, 0, false),
                                            quadObject("hair", 0, 5)},
                                           kCurrent)));
    EXPECT_EQ(scene.objectCount, 3);
    EXPECT_EQ(scene.names[1], "eyes");
    EXPECT_EQ(scene.names[2], "hair");
    EXPECT_EQ(scene.hasNormals[1], 0);
    EXPECT_EQ(scene.minX[1], 5.0f);
    EXPECT_EQ(scene.maxY[2], 6.0f);
    EXPECT_EQ((std::array<int, 3>{scene.visible[0], scene.visible[1], scene.visible[2]}), (std::array<int, 3>{1, 0, 0}));
}

TEST(EboReader, StrideTwelveAfterACompleteObjectStartsTheNextSlot) {
    Scene scene;
    load(scene, test::buildEbo(withArrays({arrayDescriptor(12, bytesOf(kTriangle)), arrayDescriptor(8, bytesOf(kUv)),
                                           arrayDescriptor(2, bytesOf(kStrip)), arrayDescriptor(12, bytesOf(kTriangle))}))
                    .bytes);
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_EQ(scene.hasNormals[0], 0);
    EXPECT_EQ(scene.hasPositions[1], 1);
    EXPECT_EQ(scene.normalsPresent, 0);
    EXPECT_EQ(scene.lightingOn, 0);
}

TEST(EboReader, SkipsSurplusArraysUnknownStridesAndOtherKinds) {
    test::EboDescriptor other = arrayDescriptor(12, bytesOf(std::vector<Vec3f>{{9, 9, 9}}));
    other.kind = 3;
    const std::vector<Vec3f> third = {{7, 7, 7}};
    const std::vector<Vec2f> secondUv = {{5, 5}};
    const std::vector<std::uint16_t> secondStrip = {2, 1, 0};
    EboFile file = withArrays({other, arrayDescriptor(4, bytesOf(kTriangle)), arrayDescriptor(12, bytesOf(kTriangle)),
                               arrayDescriptor(12, bytesOf(kTriangle)), arrayDescriptor(12, bytesOf(third)),
                               arrayDescriptor(8, bytesOf(kUv)), arrayDescriptor(8, bytesOf(secondUv)),
                               arrayDescriptor(2, bytesOf(kStrip))});
    auto built = test::buildEbo(file);
    // The record of a descriptor of another kind is never read, so it may point anywhere.
    test::put32(built.bytes, built.layout.descriptors[1][0] + 12, 0x7fffff00);
    Scene scene;
    EXPECT_FALSE(load(scene, built.bytes));
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_EQ(scene.positions[0].size(), 3u);
    EXPECT_EQ(scene.normals[0][1].y, 2.0f);  // the second stride-12 array
    EXPECT_EQ(scene.maxX[0], 1.0f);          // neither the other kind's nor the third array's 9 or 7
    EXPECT_EQ(scene.texCoords[0].size(), 3u);
    EXPECT_EQ(scene.indices[0], kStrip);

    // A second strip after completion goes to slot 1 instead.
    Scene next;
    load(next, test::buildEbo(withArrays({arrayDescriptor(12, bytesOf(kTriangle)), arrayDescriptor(2, bytesOf(kStrip)),
                                          arrayDescriptor(2, bytesOf(secondStrip)), arrayDescriptor(8, bytesOf(kUv))}))
                   .bytes);
    EXPECT_EQ(next.indices[0], kStrip);
    EXPECT_EQ(next.objectCount, 1);
}

TEST(EboReader, AnObjectWithoutTextureCoordinatesNeverCompletes) {
    Scene scene;
    load(scene, test::buildEbo(withArrays({arrayDescriptor(12, bytesOf(kTriangle)), arrayDescriptor(2, bytesOf(kStrip)),
                                           arrayDescriptor(12, bytesOf(kTriangle)), arrayDescriptor(12, bytesOf(kTriangle))}))
                    .bytes);
    EXPECT_EQ(scene.objectCount, 0);
    EXPECT_EQ(scene.hasPositions[0] + scene.hasNormals[0] + scene.hasIndices[0], 3);
    EXPECT_EQ(scene.hasPositions[1], 0);
    EXPECT_EQ(scene.visible[0], 1);
}

TEST(EboReader, NegativeOrTooSmallSizesGiveEmptyArraysThatStillCount) {
    auto positions = arrayDescriptor(12, bytesOf(kTriangle));
    positions.byteSize = 11;
    auto uv = arrayDescriptor(8, bytesOf(kUv));
    uv.byteSize = -8;
    auto strip = arrayDescriptor(2, bytesOf(kStrip));
    strip.byteSize = std::numeric_limits<std::int32_t>::min();
    Scene scene;
    scene.minX[0] = 42;
    EXPECT_FALSE(load(scene, test::buildEbo(withArrays({positions, uv, strip})).bytes));
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_TRUE(scene.positions[0].empty());
    EXPECT_TRUE(scene.texCoords[0].empty());
    EXPECT_EQ(scene.indexCount[0], 0);
    EXPECT_EQ(scene.minX[0], 42.0f);  // bounds untouched by an empty array

    // A remainder is ignored: 35 bytes are two vertices, 5 bytes two indices.
    positions.byteSize = 35;
    strip.byteSize = 5;
    Scene partial;
    load(partial, test::buildEbo(withArrays({positions, arrayDescriptor(8, bytesOf(kUv)), strip})).bytes);
    EXPECT_EQ(partial.positions[0].size(), 2u);
    EXPECT_EQ(partial.maxY[0], 2.0f);  // the third vertex (y 5) is not part of the array
    EXPECT_EQ(partial.indexCount[0], 2);
}

TEST(EboReader, BoundsUseStrictComparisonsSoNaNNeverReplacesABound) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Scene scene;
    load(scene, test::buildEbo(withArrays({arrayDescriptor(12, bytesOf(std::vector<Vec3f>{{1, nan, 2}, {nan, 4, -3}, {-5, 6, 7}})),
                                           arrayDescriptor(8, bytesOf(kUv)), arrayDescriptor(2, bytesOf(kStrip))}))
                    .bytes);
    EXPECT_EQ(scene.minX[0], -5.0f);
    EXPECT_EQ(scene.maxX[0], 1.0f);
    EXPECT_TRUE(std::isnan(scene.minY[0]));  // a NaN first vertex is the starting value and stays
    EXPECT_TRUE(std::isnan(scene.maxY[0]));
    EXPECT_EQ(scene.minZ[0], -3.0f);
    EXPECT_EQ(scene.maxZ[0], 7.0f);
}

TEST(EboReader, NamesSkipLeadingNulsAndHonourThe256ByteLimit) {
    const std::string longest(255, 'x');
    const std::string tooLong(256, 'y');
    EboFile file = withArrays({}, {std::string("\0\0eyes", 6), longest, tooLong, std::string("\0", 1) + tooLong, "\xe9t\xe9"});
    Scene scene;
    EXPECT_FALSE(load(scene, test::buildEbo(file).bytes));
    EXPECT_EQ(scene.names[0], "eyes");
    EXPECT_EQ(scene.names[1], longest);
    EXPECT_EQ(scene.names[2], "SCRATCH");
    EXPECT_EQ(scene.names[3], "");  // the skipped NUL left the empty string
    EXPECT_EQ(scene.names[4], "\xe9t\xe9");
    EXPECT_EQ(scene.names[5], "SCRATCH");

    file.entryCount = 0;
    Scene none;
    load(none, test::buildEbo(file).bytes);
    for (const auto& name : none.names) EXPECT_EQ(name, "SCRATCH");
}

TEST(EboReader, ANameRunningOffTheEndOfTheFileIsNotTaken) {
    EboFile file = withArrays({}, {"head", "tail"});
    file.terminateNames = false;
    Scene scene;
    const auto problem = load(scene, test::buildEbo(file).bytes);
    // "head" runs on into "tail", which runs off the end: neither is taken.
    EXPECT_EQ(scene.names[0], "SCRATCH");
    EXPECT_EQ(scene.names[1], "SCRATCH");
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "object name");
}

TEST(EboReader, EmptyLastSectionGivesNoObjectsButReadsNames) {
    Scene scene;
    load(scene, test::makeEbo({quadObject("old1"), quadObject("old2")}, kCurrent));
    EXPECT_FALSE(load(scene, test::buildEbo(withArrays({}, {"face"})).bytes));
    EXPECT_EQ(scene.objectCount, 0);
    EXPECT_EQ(scene.visible[0], 1);
    EXPECT_EQ(scene.hasPositions[0] + scene.hasPositions[1], 0);
    EXPECT_EQ(scene.names[0], "face");
}

TEST(EboReader, OneSectionServesAsFirstAndLast) {
    EboFile file = test::eboFileOf({quadObject("solo")}, kCurrent);
    file.sections.erase(file.sections.begin());
    for (std::uint16_t kind : {1, 0}) {  // the table record has stride 0: skipped either way
        file.objectTableKind = kind;
        Scene scene;
        EXPECT_FALSE(load(scene, test::buildEbo(file).bytes));
        EXPECT_EQ(scene.objectCount, 1);
        EXPECT_EQ(scene.names[0], "solo");
    }
}

TEST(EboReader, LimitTestRejectsTheFileBeforeAnyNameIsRead) {
    Scene scene;
    load(scene, test::makeEbo({quadObject("a"), quadObject("b")}, kCurrent));
    scene.visible[1] = 1;

    EboFile file = test::eboFileOf({quadObject("new")}, kCurrent);
    const auto built = test::buildEbo(file);
    file.limit = static_cast<std::int32_t>(built.layout.entryTable - 1);
    std::int32_t result = -1;
    const auto problem = load(scene, test::buildEbo(file).bytes, &result);
    EXPECT_EQ(result, 0);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "object entry table offset");
    EXPECT_EQ(scene.objectCount, 2);  // the old model stays, with its visibility
    EXPECT_EQ(scene.visible[1], 1);
    EXPECT_EQ(scene.names[0], "SCRATCH");
    EXPECT_EQ(scene.lightingOn, 0);

    file.limit = static_cast<std::int32_t>(built.layout.entryTable);  // equal passes
    EXPECT_EQ(loadEboBytes(scene, test::buildEbo(file).bytes), 1);
    EXPECT_EQ(scene.names[0], "new");
}

TEST(EboReader, ASecondLoadStartsTheModelAfresh) {
    Scene scene;
    std::vector<EboObject> five;
    for (int i = 0; i < 5; ++i) five.push_back(quadObject("o" + std::to_string(i)));
    load(scene, test::makeEbo(five, kCurrent));
    scene.visible.fill(1);
    load(scene, test::makeEbo({quadObject("x", 0, 0, 0, false), quadObject("y", 0, 0, 0, false)}, kCurrent));
    EXPECT_EQ(scene.objectCount, 2);
    EXPECT_EQ(scene.normalsPresent, 0);
    for (int s = 1; s < kSceneSlots; ++s) EXPECT_EQ(scene.visible[s], 0) << s;
    for (int s = 2; s < 5; ++s) EXPECT_EQ(scene.hasPositions[s] + scene.hasNormals[s], 0) << s;
    EXPECT_EQ(scene.names[2], "SCRATCH");
}

TEST(EboReader, AFileThatCannotBeOpenedKeepsTheModelWithScratchNames) {
    Scene scene;
    load(scene, test::makeEbo({quadObject("head"), quadObject("eyes")}, kCurrent));
    std::optional<ReadProblem> problem;
    EXPECT_EQ(loadEbo(scene, "/nonexistent/kelvane/face.ebo", &problem), 1);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->what, "cannot open file");
    EXPECT_EQ(scene.objectCount, 2);
    EXPECT_EQ(scene.hasNormals[0], 1);
    EXPECT_EQ(scene.visible[0], 1);
    EXPECT_EQ(scene.normalsPresent, 0);
    EXPECT_EQ(scene.lightingOn, 0);
    for (const auto& name : scene.names) EXPECT_EQ(name, "SCRATCH");
}

// Files the design leaves open: what this reader does with them.

TEST(EboReaderBadInput, KeepsTheFirst20ObjectsAndNames) {
    std::vector<EboObject> many;
    for (int i = 0; i < 23; ++i) many.push_back(quadObject("n" + std::to_string(i), float(i)));
    Scene scene;
    const auto problem = load(scene, test::makeEbo(many, kCurrent));
    EXPECT_EQ(scene.objectCount, 20);
    EXPECT_EQ(scene.names[19], "n19");
    EXPECT_EQ(scene.minX[19], 19.0f);
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->what.find("20"), std::string::npos);
}

TEST(EboReaderBadInput, DataRunningPastTheEndKeepsTheWholeElementsInTheFile) {
    EboFile file = withArrays({arrayDescriptor(8, bytesOf(kUv)), arrayDescriptor(2, bytesOf(kStrip)),
                               arrayDescriptor(12, bytesOf(kTriangle))},
                              {});
    auto built = test::buildEbo(file);
    const std::int64_t positionsData = built.layout.targets[1][2] + 28;
    built.bytes.resize(static_cast<std::size_t>(positionsData + 12 * 2 + 5));  // 2 whole vertices and a bit
    Scene scene;
    const auto problem = load(scene, built.bytes);
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_EQ(scene.positions[0].size(), 2u);
    EXPECT_EQ(scene.maxY[0], 2.0f);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "positions");
    EXPECT_EQ(problem->offset, static_cast<std::uint64_t>(positionsData));

    // A huge declared size allocates only what the file holds.
    auto strip = arrayDescriptor(2, bytesOf(kStrip));
    strip.byteSize = std::numeric_limits<std::int32_t>::max();
    Scene huge;
    load(huge, test::buildEbo(withArrays({strip})).bytes);
    EXPECT_EQ(huge.hasIndices[0], 1);
    EXPECT_LE(huge.indices[0].size() * 2, test::buildEbo(withArrays({strip})).bytes.size());
    EXPECT_EQ(huge.indexCount[0], static_cast<std::int32_t>(huge.indices[0].size()));
}

TEST(EboReaderBadInput, UnreadableHeaderOrTableRejectsTheFileAndKeepsTheOldModel) {
    const auto good = test::makeEbo({quadObject("a"), quadObject("b")}, kCurrent);
    for (std::size_t cut : {std::size_t{0}, std::size_t{47}, std::size_t{60}}) {
        Scene scene;
        load(scene, good);
        std::int32_t result = -1;
        const auto problem = load(scene, std::vector<std::uint8_t>(good.begin(), good.begin() + cut), &result);
        EXPECT_EQ(result, 0) << cut;
        EXPECT_TRUE(problem) << cut;
        EXPECT_EQ(scene.objectCount, 2) << cut;
        EXPECT_EQ(scene.names[0], "SCRATCH") << cut;
    }
}

TEST(EboReaderBadInput, HugeCountsEndAtTheEndOfTheFile) {
    EboFile file = test::eboFileOf({quadObject("a")}, kCurrent);
    file.sections[1].descriptorCount = std::numeric_limits<std::int16_t>::max();
    file.entryCount = std::numeric_limits<std::int32_t>::max();
    Scene scene;
    const auto problem = load(scene, test::buildEbo(file).bytes);
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_TRUE(problem);

    // A section of size 0 repeats itself; the 16-bit count still ends the walk.
    EboFile looping = test::eboFileOf({quadObject("a")}, kCurrent);
    looping.sections[0].size = 0;
    looping.sectionCount = std::numeric_limits<std::int16_t>::max();
    Scene again;
    load(again, test::buildEbo(looping).bytes);
    EXPECT_EQ(again.objectCount, 0);  // the first section is the last: it holds no arrays
}

TEST(EboReaderBadInput, NoSectionsReadsNoArrays) {
    EboFile file = test::eboFileOf({quadObject("a")}, kCurrent);
    file.sectionCount = 0;
    Scene scene;
    const auto problem = load(scene, test::buildEbo(file).bytes);
    EXPECT_EQ(scene.objectCount, 0);
    EXPECT_EQ(scene.names[0], "a");
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, "section count");
}

}  // namespace
}  // namespace kelvane
