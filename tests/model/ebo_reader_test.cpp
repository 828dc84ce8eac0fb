#include "model/ebo_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/model/scene_checks.h"

namespace kelvane {
namespace {

using namespace test;
using namespace writers;

constexpr auto kCurrent = Generation::Current;

struct Load {
    std::int32_t result;
    std::optional<ReadProblem> problem;
};

Load load(Scene& scene, std::vector<std::uint8_t> bytes) {
    Load l;
    l.result = loadEboBytes(scene, std::move(bytes), &l.problem);
    return l;
}

// A file whose arrays section holds exactly these descriptors.
EboFile withArrays(std::vector<EboDescriptor> descriptors, std::vector<std::string> names = {"a"}) {
    EboFile file;
    file.names = std::move(names);
    file.sections = {{}, sectionOf(std::move(descriptors))};
    return file;
}
std::vector<std::uint8_t> build(const EboFile& file) { return buildEbo(file).bytes; }

const std::vector<Vec3f> kTriangle = {{0, 0, 0}, {1, 2, 3}, {-1, 5, -2}};
const std::vector<Vec2f> kUv = {{0, 0}, {1, 0}, {0, 1}};
const std::vector<std::uint16_t> kStrip = {0, 1, 2};

EboDescriptor pos(const std::vector<Vec3f>& v = kTriangle) { return arrayDescriptor(12, bytesOf(v)); }
EboDescriptor uv(const std::vector<Vec2f>& v = kUv) { return arrayDescriptor(8, bytesOf(v)); }
EboDescriptor strip(const std::vector<std::uint16_t>& v = kStrip) { return arrayDescriptor(2, bytesOf(v)); }
EboDescriptor sized(EboDescriptor d, std::int32_t byteSize) {
    d.byteSize = byteSize;
    return d;
}

TEST(EboReader, FourArraysFillOneObjectAndObjectsFillSlotsInOrder) {
    const EboObject head = quadObject("head", 2, 3, 4);
    Scene scene;
    const Load l = load(scene, makeEbo({head, quadObject("eyes", 5, 0, 0, false), quadObject("hair", 0, 5)}, kCurrent));
    EXPECT_EQ(l.result, 1);
    EXPECT_FALSE(l.problem);
    EXPECT_EQ(scene.objectCount, 3);
    EXPECT_EQ(arraysOf(scene, 0) + arraysOf(scene, 1) + arraysOf(scene, 3), "PNTIP-TI----");
    EXPECT_EQ(scene.normalsPresent + scene.lightingOn, 2);
    EXPECT_EQ((std::array{scene.names[0], scene.names[1], scene.names[2], scene.names[3]}),
              (std::array<std::optional<std::string>, 4>{"head", "eyes", "hair", "SCRATCH"}));
    EXPECT_EQ(scene.positions[0][3].x, 3.0f);
    EXPECT_EQ(scene.normals[0][1].z, 1.0f);
    EXPECT_EQ(scene.texCoords[0][1].u, 1.0f);
    EXPECT_EQ(scene.indices[0], head.strip);
    EXPECT_EQ(scene.indexCount[0], 4);
    EXPECT_EQ(boundsOf(scene, 0), (std::array<float, 6>{2, 3, 3, 4, 4, 4}));
    EXPECT_EQ(boundsOf(scene, 1), (std::array<float, 6>{5, 6, 0, 1, 0, 0}));
    EXPECT_EQ(scene.maxY[2], 6.0f);
}

// Each case is read over a five-object model whose objects were all made visible.
TEST(EboReader, ArraysGoToSlotsByStrideAndOrder) {
    EboDescriptor other = pos({{9, 9, 9}});  // a descriptor of another kind, skipped unread
    other.kind = 3;
    const auto stride4 = arrayDescriptor(4, bytesOf(kTriangle));
    const struct {
        std::vector<EboDescriptor> arrays;
        std::int32_t objectCount;
        std::string slots01;
    } cases[] = {
        {{other, pos(), uv(), strip(), pos()}, 1, "P-TIP---"},  // complete: the next stride 12 starts slot 1
        {{other, pos(), strip(), pos(), pos()}, 0, "PN-I----"},  // never complete: never counted
        {{other, stride4, pos(), strip(), pos(), pos({{7, 7, 7}}), strip({2, 1, 0}), uv(), uv({{5, 5}})}, 1, "PNTI--T-"},
        {{}, 0, "--------"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.slots01);
        auto built = buildEbo(withArrays(c.arrays));
        if (!c.arrays.empty()) put32(built.bytes, built.layout.descriptors[1][0] + 12, 0x7fffff00);
        Scene scene;
        load(scene, makeEbo(quads(5), kCurrent));
        scene.visible.fill(1);
        EXPECT_FALSE(load(scene, built.bytes).problem);
        EXPECT_EQ(scene.objectCount, c.objectCount);
        EXPECT_EQ(arraysOf(scene, 0) + arraysOf(scene, 1), c.slots01);
        for (int s = 2; s < 5; ++s) EXPECT_EQ(arraysOf(scene, s), "----") << s;
        for (int s = 0; s < kSceneSlots; ++s) EXPECT_EQ(scene.visible[s], s == 0) << s;
        EXPECT_EQ(scene.normalsPresent + scene.lightingOn, c.slots01[1] == 'N' ? 2 : 0);
        EXPECT_EQ(scene.names[0], "a");
        EXPECT_EQ(scene.names[1], "SCRATCH");
        if (c.slots01 != "PNTI--T-") continue;
        EXPECT_EQ(scene.positions[0].size(), 3u);
        EXPECT_EQ(scene.normals[0][1].y, 2.0f);  // the second stride-12 array
        EXPECT_EQ(scene.maxX[0], 1.0f);          // neither the other kind's 9 nor the third array's 7
        EXPECT_EQ(scene.indices[0], kStrip);
        EXPECT_EQ(scene.texCoords[0].size(), 3u);
    }
}

TEST(EboReader, SizesRoundDownAndTooSmallOnesGiveEmptyArraysThatStillCount) {
    Scene scene;
    scene.minX[0] = 42;
    EXPECT_FALSE(load(scene, build(withArrays({sized(pos(), 11), sized(uv(), -8),
                                               sized(strip(), std::numeric_limits<std::int32_t>::min())})))
                     .problem);
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_TRUE(scene.positions[0].empty());
    EXPECT_TRUE(scene.texCoords[0].empty());
    EXPECT_EQ(scene.indexCount[0], std::numeric_limits<std::int32_t>::min() / 2);  // signed, as in legacy
    EXPECT_TRUE(scene.indices[0].empty());
    EXPECT_EQ(scene.minX[0], 42.0f);  // bounds untouched by an empty array

    // 35 bytes are two vertices, 5 bytes two indices.
    load(scene, build(withArrays({sized(pos(), 35), uv(), sized(strip(), 5)})));
    EXPECT_EQ(scene.positions[0].size(), 2u);
    EXPECT_EQ(scene.maxY[0], 2.0f);  // the third vertex (y 5) is not part of the array
    EXPECT_EQ(scene.indexCount[0], 2);
}

TEST(EboReader, BoundsUseStrictComparisonsSoNaNNeverReplacesABound) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Scene scene;
    load(scene, build(withArrays({pos({{1, nan, 2}, {nan, 4, -3}, {-5, 6, 7}}), uv(), strip()})));
    EXPECT_EQ((std::array{scene.minX[0], scene.maxX[0], scene.minZ[0], scene.maxZ[0]}), (std::array<float, 4>{-5, 1, -3, 7}));
    EXPECT_TRUE(std::isnan(scene.minY[0]));  // a NaN first vertex is the starting value and stays
    EXPECT_TRUE(std::isnan(scene.maxY[0]));
}

TEST(EboReader, NamesSkipLeadingNulsAndHonourThe256ByteLimit) {
    const std::string longest(255, 'x'), tooLong(256, 'y');
    EboFile file = withArrays({}, {std::string("\0\0eyes", 6), longest, tooLong, std::string("\0", 1) + tooLong, "\xe9t\xe9"});
    Scene scene;
    EXPECT_FALSE(load(scene, build(file)).problem);
    // A skipped NUL leaves the empty string when no name follows in 256 bytes.
    EXPECT_EQ((std::vector(scene.names.begin(), scene.names.begin() + 6)),
              (std::vector<std::optional<std::string>>{"eyes", longest, "SCRATCH", "", "\xe9t\xe9", "SCRATCH"}));

    file.entryCount = 0;
    load(scene, build(file));
    for (const auto& name : scene.names) EXPECT_EQ(name, "SCRATCH");

    // "head" runs on into "tail", which runs off the end of the file: neither is taken.
    file = withArrays({}, {"head", "tail"});
    file.terminateNames = false;
    const Load l = load(scene, build(file));
    EXPECT_EQ(scene.names[0], "SCRATCH");
    EXPECT_EQ(scene.names[1], "SCRATCH");
    ASSERT_TRUE(l.problem);
    EXPECT_EQ(l.problem->field, "object name");
}

TEST(EboReader, OneSectionServesAsFirstAndLast) {
    EboFile file = eboFileOf({quadObject("solo")}, kCurrent);
    file.sections.erase(file.sections.begin());
    for (std::uint16_t kind : {1, 0}) {  // the table record has stride 0: skipped either way
        file.objectTableKind = kind;
        Scene scene;
        EXPECT_FALSE(load(scene, build(file)).problem);
        EXPECT_EQ(scene.objectCount, 1);
        EXPECT_EQ(scene.names[0], "solo");
    }
}

// A file that cannot be opened, fails the limit test or has no readable header
// keeps the old objects; names and lighting are reset all the same.
TEST(EboReader, RejectedFilesKeepTheOldObjectsWithScratchNames) {
    const auto good = makeEbo(quads(2), kCurrent);
    EboFile file = eboFileOf({quadObject("new")}, kCurrent);
    const auto entryTable = static_cast<std::int32_t>(buildEbo(file).layout.entryTable);
    file.limit = entryTable - 1;
    struct Case {
        std::optional<std::vector<std::uint8_t>> bytes;  // none: a file that cannot be opened
        std::int32_t result;
        std::string ReadProblem::*part;
        std::string text;
    };
    const auto cut = [&](std::size_t n) { return std::vector<std::uint8_t>(good.begin(), good.begin() + n); };
    const Case cases[] = {{std::nullopt, 1, &ReadProblem::what, "cannot open file: no such file"},
                          {build(file), 0, &ReadProblem::field, "object entry table offset"},
                          {cut(0), 0, nullptr, ""}, {cut(47), 0, nullptr, ""}, {cut(60), 0, nullptr, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + std::to_string(c.bytes ? c.bytes->size() : 0));
        Scene scene;
        load(scene, good);
        scene.visible[1] = 1;
        std::optional<ReadProblem> problem;
        EXPECT_EQ(c.bytes ? loadEboBytes(scene, *c.bytes, &problem) : loadEbo(scene, "/nonexistent/kelvane/face.ebo", &problem),
                  c.result);
        ASSERT_TRUE(problem);
        if (c.part) {
            EXPECT_EQ((*problem).*c.part, c.text);
        }
        EXPECT_EQ(scene.objectCount, 2);
        EXPECT_EQ(arraysOf(scene, 0), "PNTI");
        EXPECT_EQ(scene.visible[0] + scene.visible[1], 2);
        EXPECT_EQ(scene.normalsPresent + scene.lightingOn, 0);
        for (const auto& name : scene.names) EXPECT_EQ(name, "SCRATCH");
    }
    file.limit = entryTable;  // equal passes
    Scene scene;
    EXPECT_EQ(load(scene, build(file)).result, 1);
    EXPECT_EQ(scene.names[0], "new");
}

// Files the format leaves open: what this reader does with them.

TEST(EboReaderBadInput, KeepsTheFirst20ObjectsAndNames) {
    Scene scene;
    const Load l = load(scene, makeEbo(quads(23, "n"), kCurrent));
    EXPECT_EQ(scene.objectCount, 20);
    EXPECT_EQ(scene.names[19], "n19");
    EXPECT_EQ(scene.minX[19], 19.0f);
    ASSERT_TRUE(l.problem);
    EXPECT_NE(l.problem->what.find("20"), std::string::npos);

    // Exactly 20 objects and then an array of a stride that is skipped: a whole file.
    EboFile twenty = eboFileOf(quads(20, "n"), kCurrent);
    twenty.sections.back().descriptors.push_back(arrayDescriptor(4, {1, 2, 3, 4}));
    Scene full;
    EXPECT_FALSE(load(full, buildEbo(twenty).bytes).problem);
    EXPECT_EQ(full.objectCount, 20);
}

TEST(EboReaderBadInput, DataRunningPastTheEndKeepsTheWholeElementsInTheFile) {
    auto built = buildEbo(withArrays({uv(), strip(), pos()}, {}));
    const std::int64_t positionsData = built.layout.targets[1][2] + 28;
    built.bytes.resize(static_cast<std::size_t>(positionsData + 12 * 2 + 5));  // 2 whole vertices and a bit
    Scene scene;
    const Load l = load(scene, built.bytes);
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_EQ(scene.positions[0].size(), 2u);
    EXPECT_EQ(scene.maxY[0], 2.0f);
    ASSERT_TRUE(l.problem);
    EXPECT_EQ(l.problem->field, "positions");
    EXPECT_EQ(l.problem->offset, static_cast<std::uint64_t>(positionsData));

    // A huge declared size allocates only what the file holds.
    const auto huge = build(withArrays({sized(strip(), std::numeric_limits<std::int32_t>::max())}));
    load(scene, huge);
    EXPECT_EQ(scene.hasIndices[0], 1);
    EXPECT_LE(scene.indices[0].size() * 2, huge.size());
    EXPECT_EQ(scene.indexCount[0], static_cast<std::int32_t>(scene.indices[0].size()));
}

TEST(EboReaderBadInput, HugeOrMissingCountsEndTheWalkSafely) {
    EboFile file = eboFileOf({quadObject("a")}, kCurrent);
    file.sections[1].descriptorCount = std::numeric_limits<std::int16_t>::max();
    file.entryCount = std::numeric_limits<std::int32_t>::max();
    Scene scene;
    EXPECT_TRUE(load(scene, build(file)).problem);
    EXPECT_EQ(scene.objectCount, 1);

    // A section of size 0 repeats itself; the 16-bit count still ends the walk.
    file = eboFileOf({quadObject("a")}, kCurrent);
    file.sections[0].size = 0;
    file.sectionCount = std::numeric_limits<std::int16_t>::max();
    load(scene, build(file));
    EXPECT_EQ(scene.objectCount, 0);  // the first section is the last: it holds no arrays

    file = eboFileOf({quadObject("a")}, kCurrent);
    file.sectionCount = 0;
    const Load l = load(scene, build(file));
    EXPECT_EQ(scene.objectCount, 0);
    EXPECT_EQ(scene.names[0], "a");
    ASSERT_TRUE(l.problem);
    EXPECT_EQ(l.problem->field, "section count");
}

}  // namespace
}  // namespace kelvane
