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

// The first problem's field (or its text when it names none), the object count, slots 0 to 2 as "PNTIv" ('-'
// for each array missing or the slot hidden), " lit" when lighting is on, then slot 0's vertex count, index
// count and indices when it has indices.
std::string summary(const Scene& s, const std::optional<ReadProblem>& p) {
    std::string text = !p ? "" : p->field.empty() ? p->what : p->field;
    text.append("|").append(std::to_string(s.objectCount));
    for (int i = 0; i < 3; ++i)
        text += {' ', s.hasPositions[i] ? 'P' : '-', s.hasNormals[i] ? 'N' : '-', s.hasTexCoords[i] ? 'T' : '-',
                 s.hasIndices[i] ? 'I' : '-', s.visible[i] ? 'v' : '-'};
    text.append(s.normalsPresent && s.lightingOn ? " lit" : s.normalsPresent || s.lightingOn ? " half-lit" : "");
    if (!s.hasIndices[0]) return text;
    text.append("|").append(std::to_string(s.hasPositions[0] * s.positions[0].size())).append(" ");
    text.append(std::to_string(s.indexCount[0])).append(" ");
    for (auto i : s.indices[0]) text.append(std::to_string(i));
    return text;
}
std::string load(Scene& scene, Bytes bytes, Generation generation = kCurrent) {
    std::optional<ReadProblem> p;
    EXPECT_EQ(loadEboBytes(generation, scene, std::move(bytes), &p), 1);
    return summary(scene, p);
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

// A file whose arrays section (current generation) or only section (earlier) holds exactly these descriptors.
Bytes build(std::vector<EboDescriptor> descriptors, Generation generation = kCurrent,
            std::vector<std::string> names = {"a"}) {
    EboFile file;
    file.generation = generation;
    file.sections = {sectionOf(std::move(descriptors))};
    if (generation == kLegacy) return buildEbo(file).bytes;
    file.names = std::move(names);
    file.sections.insert(file.sections.begin(), EboSection{});
    return buildEbo(file).bytes;
}
EboDescriptor pos(const std::vector<Vec3f>& v = {{0, 0, 0}, {1, 2, 3}, {-1, 5, -2}}) { return arrayDescriptor(12, bytesOf(v)); }
EboDescriptor uv(const std::vector<Vec2f>& v = {{0, 0}, {1, 0}, {0, 1}}) { return arrayDescriptor(8, bytesOf(v)); }
EboDescriptor strip(const std::vector<std::uint16_t>& v = {0, 1, 2}) { return arrayDescriptor(2, bytesOf(v)); }
EboDescriptor sized(EboDescriptor d, std::int32_t byteSize) {
    d.byteSize = byteSize;
    return d;
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

// Each case is read over a model of five objects (three in the earlier generation), all made visible.
TEST(EboReader, ArraysGoToSlotsByStrideOrderAndSize) {
    EboDescriptor other = pos({{9, 9, 9}});  // a descriptor of another kind, skipped unread
    other.kind = 3;
    const std::vector<Vec3f> p = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 2}, {2, -1, 0}};
    const std::vector<Vec2f> t(5);
    const std::vector<std::uint16_t> s = {0, 1, 2, 3, 4};
    const std::tuple<Generation, std::vector<EboDescriptor>, std::string> cases[] = {
        // Current generation: positions, normals, texture coordinates, indices; a complete slot ends.
        {kCurrent, {other, pos(), uv(), strip(), pos()}, "|1 P-TIv P---- -----|3 3 012"},
        {kCurrent, {other, pos(), strip(), pos(), pos()}, "|0 PN-Iv ----- ----- lit|3 3 012"},  // never complete
        {kCurrent, {other, arrayDescriptor(4, bytesOf(p)), pos(), strip(), pos(), pos({{7, 7, 7}}), strip({2, 1, 0}),
                    uv(), uv({{5, 5}})}, "|1 PNTIv --T-- ----- lit|3 3 012"},
        {kCurrent, {}, "|0 ----v ----- -----"},
        // Sizes round down; too small ones give empty arrays that still count, a negative index count as is.
        {kCurrent, {sized(pos(), 11), sized(uv(), -8), sized(strip(), std::numeric_limits<std::int32_t>::min())},
         "|1 P-TIv ----- -----|0 -1073741824 "},
        {kCurrent, {sized(pos(), 35), uv(), sized(strip(), 5)}, "|1 P-TIv ----- -----|2 2 01"},
        // Earlier generation: two records in a row start a new slot; slots past the new count stay as they were.
        {kLegacy, {record(0, 0), record(12, 60), data(p), record(8, 40), data(t)}, "|2 ----v P-T-- P-TIv"},
        {kLegacy, {}, "|1 ----v P-TIv P-TIv"},
        // Strips become triangle lists; odd triangles keep the strip's order; short strips give none.
        {kLegacy, {record(2, 10), data(s)}, "|1 ---Iv P-TIv P-TIv|0 3 012123234"},
        {kLegacy, {record(2, 4), data(s)}, "|1 ---Iv P-TIv P-TIv|0 0 "},
        {kLegacy, {record(2, 2), data(s)}, "|1 ---Iv P-TIv P-TIv|0 -1 "},
        {kLegacy, {record(2, 0), data(s)}, "|1 ---Iv P-TIv P-TIv|0 -2 "},
        {kLegacy, {record(2, -6), data(s)}, "|1 ---Iv P-TIv P-TIv|0 -5 "},
        // A second array of the same stride is skipped; only the strip entries in the file count.
        {kLegacy, {record(12, 12), data(std::vector<Vec3f>{{1, 1, 1}}), data(p), record(2, 6), data(s),
                   data(std::vector<std::uint16_t>{4, 4, 4})}, "|1 P--Iv P-TIv P-TIv|1 1 012"},
        {kLegacy, {record(2, 1000), data(s)}, "strip|1 ---Iv P-TIv P-TIv|0 3 012123234"},
        {kLegacy, {data(p), record(8, 40), data(t)}, "descriptor|1 --T-v P-TIv P-TIv"},
    };
    for (const auto& [generation, descriptors, expected] : cases) {
        Scene scene = sceneOf(generation == kCurrent ? 5 : 3, generation);
        EXPECT_EQ(load(scene, build(descriptors, generation), generation), expected);
        EXPECT_EQ(scene.visible[4], generation == kLegacy) << expected;
        EXPECT_EQ(names(scene, 2), generation == kCurrent ? "a|SCRATCH" : "<none>|<none>") << expected;
    }
}

TEST(EboReader, ValuesAndBoundsAreTakenFromTheArraysThatCount) {
    Scene scene;
    scene.minX[0] = 42;
    load(scene, build({sized(pos(), 11), uv(), strip()}));
    EXPECT_EQ(scene.minX[0], 42.0f);  // bounds untouched by an empty array
    EXPECT_EQ(load(scene, build({pos({{9, 9, 9}}), pos(), uv(), strip()})), "|1 PNTIv ----- ----- lit|1 3 012");
    EXPECT_EQ(scene.normals[0][1].y, 2.0f);  // the second stride-12 array
    EXPECT_EQ(scene.maxX[0], 9.0f);
    load(scene, build({sized(pos(), 35), uv(), strip()}));
    EXPECT_EQ(scene.maxY[0], 2.0f);  // the third vertex (y 5) is not part of the array
    // Strict comparisons: a NaN never replaces a bound, but a NaN first vertex is the starting value.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    load(scene, build({pos({{1, nan, 2}, {nan, 4, -3}, {-5, 6, 7}}), uv(), strip()}));
    EXPECT_EQ((std::array{scene.minX[0], scene.maxX[0], scene.minZ[0], scene.maxZ[0]}), (std::array<float, 4>{-5, 1, -3, 7}));
    EXPECT_TRUE(std::isnan(scene.minY[0]) && std::isnan(scene.maxY[0]));

    // One section serves as first and last; the table record (stride 0) is skipped whatever its kind.
    EboFile solo = eboFileOf({test::quadObject("solo")}, kCurrent);
    solo.sections.erase(solo.sections.begin());
    for (std::uint16_t kind : {1, 0}) {
        solo.objectTableKind = kind;
        EXPECT_EQ(load(scene, buildEbo(solo).bytes), "|1 PNTIv ----- ----- lit|4 4 0123");
    }
}

TEST(EboReader, NamesSkipLeadingNulsAndHonourThe256ByteLimit) {
    const std::string longest(255, 'x'), tooLong(256, 'y');
    Scene scene;
    load(scene, build({}, kCurrent, {std::string("\0\0eyes", 6), longest, tooLong, std::string("\0", 1) + tooLong, "\xe9t\xe9"}));
    // A skipped NUL leaves the empty string when no name follows in 256 bytes.
    EXPECT_EQ(names(scene, 6), "eyes|" + longest + "|SCRATCH||\xe9t\xe9|SCRATCH");

    // "head" runs on into "tail", which runs off the end of the file: neither is taken.
    EboFile file = eboFileOf({}, kCurrent);
    file.names = {"head", "tail"};
    file.terminateNames = false;
    EXPECT_EQ(load(scene, buildEbo(file).bytes), "object name|0 ----v ----- -----");
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
        {std::nullopt, "cannot open file: no such file"}, {buildEbo(file).bytes, "object entry table offset"},
        {cut(0), "file header"}, {cut(47), "file header"}, {cut(60), "section head"}};
    for (const auto& [bytes, problem] : cases) {
        Scene scene = sceneOf(2);
        std::optional<ReadProblem> p;
        EXPECT_EQ(bytes ? loadEboBytes(scene, *bytes, &p) : loadEbo(scene, "/nonexistent/kelvane/face.ebo", &p), bytes ? 0 : 1);
        EXPECT_EQ(summary(scene, p), problem + "|2 PNTIv PNTIv ----v|4 4 0123");
        EXPECT_EQ(names(scene, 20).find_first_not_of("SCRATCH|"), std::string::npos) << problem;
    }
    file.limit = entryTable;  // equal passes
    Scene scene;
    load(scene, buildEbo(file).bytes);
    EXPECT_EQ(names(scene, 1), "new");
}

// Files the format leaves open: what the readers do with them.
TEST(EboReaderBadInput, KeepsTheFirst20ObjectsAndTheElementsInTheFile) {
    for (Generation generation : {kCurrent, kLegacy}) {
        const Scene scene = sceneOf(25, generation);
        EXPECT_EQ(std::to_string(scene.objectCount) + " " + std::to_string(scene.minX[19]), "20 19.000000");
    }
    Scene scene;
    EboFile twenty = eboFileOf(std::vector(20, test::quadObject("a")), kCurrent);
    twenty.sections.back().descriptors.push_back(arrayDescriptor(4, {1, 2, 3, 4}));  // skipped: the file is whole
    EXPECT_EQ(load(scene, buildEbo(twenty).bytes), "|20 PNTIv PNTI- PNTI- lit|4 4 0123");
    twenty.sections.back().descriptors.push_back(strip());
    EXPECT_EQ(load(scene, buildEbo(twenty).bytes), "descriptor|20 PNTIv PNTI- PNTI- lit|4 4 0123");
    EXPECT_EQ(scene.names[19], "a");

    Bytes bytes = build({uv(), strip(), pos()}, kCurrent, {});
    bytes.resize(bytes.size() - 12 + 5);  // 2 whole vertices and a bit
    std::optional<ReadProblem> p;
    loadEboBytes(scene, bytes, &p);
    EXPECT_EQ(summary(scene, p) + " @" + std::to_string(p->offset), "positions|1 P-TIv ----- -----|2 3 012 @" + std::to_string(bytes.size() - 29));

    EboFile noSections = eboFileOf({test::quadObject("a")}, kCurrent);
    noSections.sectionCount = 0;
    EXPECT_EQ(load(scene, buildEbo(noSections).bytes), "section count|0 ----v ----- -----");
    EXPECT_EQ(names(scene, 1), "a");
    scene = sceneOf(2, kLegacy);
    EXPECT_EQ(loadEbo(kLegacy, scene, "/nonexistent/kelvane/legacy.ebo"), 1);
    EXPECT_EQ(load(scene, Bytes(40, 0), kLegacy), "file header|2 P-TIv P-TIv ----v|4 2 012123");
}

}  // namespace
}  // namespace kelvane
