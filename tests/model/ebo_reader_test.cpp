// Both EBO readers on odd files from the writer. Well-formed files are read
// back whole through kelvane-inspect (tests/tools).
#include "model/ebo_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/builders/test_files.h"

namespace kelvane {
namespace {

using namespace writers;
using Bytes = std::vector<std::uint8_t>;
constexpr auto kCurrent = Generation::Current;
constexpr auto kLegacy = Generation::Legacy;
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// Object count, then slots 0 to 2 as "PNTIv" with '-' for each array missing or the slot hidden.
std::string state(const Scene& s) {
    std::string text = std::to_string(s.objectCount);
    for (int i = 0; i < 3; ++i)
        text += {' ', s.hasPositions[i] ? 'P' : '-', s.hasNormals[i] ? 'N' : '-', s.hasTexCoords[i] ? 'T' : '-',
                 s.hasIndices[i] ? 'I' : '-', s.visible[i] ? 'v' : '-'};
    return text;
}
// The field of the first problem (or its text when it names no field), then the state after the load.
std::string load(Scene& scene, Bytes bytes, Generation generation = kCurrent) {
    std::optional<ReadProblem> p;
    EXPECT_EQ(loadEboBytes(generation, scene, std::move(bytes), &p), 1);
    const std::string problem = !p ? "" : p->field.empty() ? p->what : p->field;
    return problem + "|" + state(scene);
}
std::string names(const Scene& s, int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text.append(i ? "|" : "").append(s.names[i].value_or("<none>"));
    return text;
}
// A scene that first held n unit quads, the i-th at x = i, all made visible.
Scene sceneOf(int n, Generation generation = kCurrent) {
    std::vector<EboObject> objects;
    for (int i = 0; i < n; ++i) objects.push_back(test::quadObject(std::to_string(i), float(i)));
    Scene scene;
    load(scene, makeEbo(objects, generation), generation);
    scene.visible.fill(1);
    return scene;
}

// A current-generation file whose arrays section holds exactly these descriptors.
EboFile withArrays(std::vector<EboDescriptor> descriptors, std::vector<std::string> names = {"a"}) {
    EboFile file;
    file.names = std::move(names);
    file.sections = {{}, sectionOf(std::move(descriptors))};
    return file;
}
Bytes build(const EboFile& file) { return buildEbo(file).bytes; }
EboDescriptor pos(const std::vector<Vec3f>& v = {{0, 0, 0}, {1, 2, 3}, {-1, 5, -2}}) { return arrayDescriptor(12, bytesOf(v)); }
EboDescriptor uv(const std::vector<Vec2f>& v = {{0, 0}, {1, 0}, {0, 1}}) { return arrayDescriptor(8, bytesOf(v)); }
EboDescriptor strip(const std::vector<std::uint16_t>& v = {0, 1, 2}) { return arrayDescriptor(2, bytesOf(v)); }
EboDescriptor sized(EboDescriptor d, std::int32_t byteSize) {
    d.byteSize = byteSize;
    return d;
}

TEST(EboReader, ArraysGoToSlotsByStrideAndOrder) {
    EboDescriptor other = pos({{9, 9, 9}});  // a descriptor of another kind, skipped unread
    other.kind = 3;
    const std::pair<std::vector<EboDescriptor>, std::string> cases[] = {
        {{other, pos(), uv(), strip(), pos()}, "1 P-TIv P---- -----"},  // complete: the next stride 12 starts slot 1
        {{other, pos(), strip(), pos(), pos()}, "0 PN-Iv ----- -----"},  // never complete: never counted
        {{other, arrayDescriptor(4, bytesOf(std::vector<Vec3f>(3))), pos(), strip(), pos(), pos({{7, 7, 7}}),
          strip({2, 1, 0}), uv(), uv({{5, 5}})}, "1 PNTIv --T-- -----"},
        {{}, "0 ----v ----- -----"},
    };
    for (const auto& [arrays, expected] : cases) {
        SCOPED_TRACE(expected);
        auto built = buildEbo(withArrays(arrays));
        if (!arrays.empty()) test::put32(built.bytes, built.layout.descriptors[1][0] + 12, 0x7fffff00);
        Scene scene = sceneOf(5);
        EXPECT_EQ(load(scene, built.bytes), "|" + expected);
        EXPECT_EQ(scene.visible[4] + scene.hasPositions[4], 0u);
        EXPECT_EQ(scene.normalsPresent + scene.lightingOn, expected[3] == 'N' ? 2 : 0);
        EXPECT_EQ(names(scene, 2), "a|SCRATCH");
    }
    Scene scene;
    load(scene, build(withArrays(cases[2].first)));
    EXPECT_EQ(scene.normals[0][1].y, 2.0f);  // the second stride-12 array
    EXPECT_EQ(scene.maxX[0], 1.0f);          // neither the other kind's 9 nor the third array's 7
    EXPECT_EQ(scene.indices[0], (std::vector<std::uint16_t>{0, 1, 2}));

    // One section serves as first and last; the table record (stride 0) is skipped whatever its kind.
    EboFile solo = eboFileOf({test::quadObject("solo")}, kCurrent);
    solo.sections.erase(solo.sections.begin());
    for (std::uint16_t kind : {1, 0}) {
        solo.objectTableKind = kind;
        EXPECT_EQ(load(scene, build(solo)), "|1 PNTIv ----- -----");
        EXPECT_EQ(names(scene, 1), "solo");
    }
}

TEST(EboReader, SizesRoundDownAndTooSmallOnesGiveEmptyArraysThatStillCount) {
    Scene scene;
    scene.minX[0] = 42;
    EXPECT_EQ(load(scene, build(withArrays({sized(pos(), 11), sized(uv(), -8), sized(strip(), kMin)}))),
              "|1 P-TIv ----- -----");
    EXPECT_EQ(scene.positions[0].size() + scene.texCoords[0].size() + scene.indices[0].size(), 0u);
    EXPECT_EQ(scene.indexCount[0], kMin / 2);  // signed, as in the earlier generation
    EXPECT_EQ(scene.minX[0], 42.0f);           // bounds untouched by an empty array

    // 35 bytes are two vertices, 5 bytes two indices.
    load(scene, build(withArrays({sized(pos(), 35), uv(), sized(strip(), 5)})));
    EXPECT_EQ(scene.positions[0].size(), 2u);
    EXPECT_EQ(scene.maxY[0], 2.0f);  // the third vertex (y 5) is not part of the array
    EXPECT_EQ(scene.indexCount[0], 2);

    // Strict comparisons: a NaN never replaces a bound, but a NaN first vertex is the starting value.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    load(scene, build(withArrays({pos({{1, nan, 2}, {nan, 4, -3}, {-5, 6, 7}}), uv(), strip()})));
    EXPECT_EQ((std::array{scene.minX[0], scene.maxX[0], scene.minZ[0], scene.maxZ[0]}), (std::array<float, 4>{-5, 1, -3, 7}));
    EXPECT_TRUE(std::isnan(scene.minY[0]) && std::isnan(scene.maxY[0]));
}

TEST(EboReader, NamesSkipLeadingNulsAndHonourThe256ByteLimit) {
    const std::string longest(255, 'x'), tooLong(256, 'y');
    EboFile file = withArrays({}, {std::string("\0\0eyes", 6), longest, tooLong, std::string("\0", 1) + tooLong, "\xe9t\xe9"});
    Scene scene;
    EXPECT_EQ(load(scene, build(file)), "|0 ----v ----- -----");
    // A skipped NUL leaves the empty string when no name follows in 256 bytes.
    EXPECT_EQ(names(scene, 6), "eyes|" + longest + "|SCRATCH||\xe9t\xe9|SCRATCH");

    // "head" runs on into "tail", which runs off the end of the file: neither is taken.
    file = withArrays({}, {"head", "tail"});
    file.terminateNames = false;
    EXPECT_EQ(load(scene, build(file)), "object name|0 ----v ----- -----");
    EXPECT_EQ(names(scene, 2), "SCRATCH|SCRATCH");
}

// A file that cannot be opened, fails the limit test or has no readable header
// keeps the old objects; names and lighting are reset all the same.
TEST(EboReader, RejectedFilesKeepTheOldObjectsWithScratchNames) {
    const auto good = makeEbo({test::quadObject("0"), test::quadObject("1")}, kCurrent);
    EboFile file = eboFileOf({test::quadObject("new")}, kCurrent);
    const auto entryTable = static_cast<std::int32_t>(buildEbo(file).layout.entryTable);
    file.limit = entryTable - 1;
    const auto cut = [&](std::size_t n) { return Bytes(good.begin(), good.begin() + n); };
    const std::pair<std::optional<Bytes>, std::string> cases[] = {  // none: a file that cannot be opened
        {std::nullopt, "cannot open file: no such file"}, {build(file), "object entry table offset"},
        {cut(0), "file header"}, {cut(47), "file header"}, {cut(60), "section head"}};
    for (const auto& [bytes, problem] : cases) {
        SCOPED_TRACE(problem + std::to_string(bytes ? bytes->size() : 0));
        Scene scene = sceneOf(2);
        std::optional<ReadProblem> p;
        EXPECT_EQ(bytes ? loadEboBytes(scene, *bytes, &p) : loadEbo(scene, "/nonexistent/kelvane/face.ebo", &p), bytes ? 0 : 1);
        EXPECT_EQ(p->field.empty() ? p->what : p->field, problem);
        EXPECT_EQ(state(scene), "2 PNTIv PNTIv ----v");
        EXPECT_EQ(scene.normalsPresent + scene.lightingOn, 0);
        EXPECT_EQ(names(scene, 20).find_first_not_of("SCRATCH|"), std::string::npos);
    }
    file.limit = entryTable;  // equal passes
    Scene scene;
    load(scene, build(file));
    EXPECT_EQ(names(scene, 1), "new");
}

// Files the format leaves open: what this reader does with them.
TEST(EboReaderBadInput, KeepsTheFirst20ObjectsAndTheElementsInTheFile) {
    Scene scene = sceneOf(23);
    EXPECT_EQ(scene.objectCount, 20);
    EXPECT_EQ(std::to_string(scene.minX[19]) + *scene.names[19], "19.00000019");
    EboFile twenty = eboFileOf(std::vector(20, test::quadObject("a")), kCurrent);
    twenty.sections.back().descriptors.push_back(arrayDescriptor(4, {1, 2, 3, 4}));  // skipped: the file is whole
    EXPECT_EQ(load(scene, build(twenty)), "|20 PNTIv PNTI- PNTI-");
    twenty.sections.back().descriptors.push_back(strip());
    EXPECT_EQ(load(scene, build(twenty)), "descriptor|20 PNTIv PNTI- PNTI-");

    auto built = buildEbo(withArrays({uv(), strip(), pos()}, {}));
    const std::int64_t positionsData = built.layout.targets[1][2] + 28;
    built.bytes.resize(static_cast<std::size_t>(positionsData + 12 * 2 + 5));  // 2 whole vertices and a bit
    std::optional<ReadProblem> p;
    loadEboBytes(scene, built.bytes, &p);
    EXPECT_EQ(p->field + " @" + std::to_string(p->offset) + " " + std::to_string(scene.positions[0].size()),
              "positions @" + std::to_string(positionsData) + " 2");

    EboFile noSections = eboFileOf({test::quadObject("a")}, kCurrent);
    noSections.sectionCount = 0;
    EXPECT_EQ(load(scene, build(noSections)), "section count|0 ----v ----- -----");
    EXPECT_EQ(names(scene, 1), "a");
}

// Earlier generation: a record descriptor (kind 0) gives size and stride; a data descriptor leads to the data.
EboDescriptor record(std::int32_t stride, std::int32_t byteSize) { return sized(arrayDescriptor(stride, {}), byteSize); }
template <typename T>
EboDescriptor data(const std::vector<T>& values) {
    EboDescriptor d;
    d.kind = 7;
    d.data = bytesOf(values);
    return d;
}

// Each case is read over a three-object model whose objects were all made visible.
TEST(LegacyEboReader, RecordDataPairsFillSlotsWithTriangleLists) {
    const std::vector<Vec3f> p = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 2}, {2, -1, 0}};
    const std::vector<Vec2f> t(5);
    const std::vector<std::uint16_t> s = {0, 1, 2, 3, 4};
    const struct {
        std::vector<EboDescriptor> descriptors;
        std::string expected;  // problem, state, then for slot 0 vertices, index count and indices
    } cases[] = {
        // Two records in a row start a new slot; the slots past the new count stay as they were.
        {{record(0, 0), record(12, 60), data(p), record(8, 40), data(t)}, "|2 ----v P-T-- P-TIv"},
        {{}, "|1 ----v P-TIv P-TIv"},
        {{record(2, 4), data(s)}, "|1 ---Iv P-TIv P-TIv|0 0 "},  // short strips give no triangles
        {{record(2, 2), data(s)}, "|1 ---Iv P-TIv P-TIv|0 -1 "},
        {{record(2, 0), data(s)}, "|1 ---Iv P-TIv P-TIv|0 -2 "},
        {{record(2, -6), data(s)}, "|1 ---Iv P-TIv P-TIv|0 -5 "},
        // A second array of the same stride is skipped; only strip entries in the file count.
        {{record(12, 12), data(std::vector<Vec3f>{{1, 1, 1}}), data(p), record(2, 6), data(s),
          data(std::vector<std::uint16_t>{4, 4, 4})}, "|1 P--Iv P-TIv P-TIv|1 1 012"},
        {{record(2, 1000), data(s)}, "strip|1 ---Iv P-TIv P-TIv|0 3 012123234"},
        {{data(p), record(8, 40), data(t)}, "descriptor|1 --T-v P-TIv P-TIv"},
    };
    for (const auto& c : cases) {
        Scene scene = sceneOf(3, kLegacy);
        EboFile file;
        file.generation = kLegacy;
        file.sections = {sectionOf(c.descriptors)};
        std::string got = load(scene, build(file), kLegacy);
        if (scene.hasIndices[0]) {
            got.append("|").append(std::to_string(scene.hasPositions[0] * scene.positions[0].size()));
            got.append(" ").append(std::to_string(scene.indexCount[0])).append(" ");
            for (auto i : scene.indices[0]) got += std::to_string(i);
        }
        EXPECT_EQ(got, c.expected);
    }
}

TEST(LegacyEboReaderBadInput, KeepsTheFirst20SlotsAndTheOldOnesOnUnreadableFiles) {
    Scene scene = sceneOf(25, kLegacy);
    EXPECT_EQ(std::to_string(scene.objectCount) + " " + std::to_string(scene.minX[19]), "20 19.000000");
    scene = sceneOf(2, kLegacy);
    EXPECT_EQ(loadEbo(kLegacy, scene, "/nonexistent/kelvane/legacy.ebo"), 1);
    EXPECT_EQ(load(scene, Bytes(40, 0), kLegacy), "file header|2 P-TIv P-TIv ----v");
}

}  // namespace
}  // namespace kelvane
