// Both EBO readers on odd files from the writer. Well-formed files are read
// back whole through kelvane-inspect (tests/tools).
#include "model/ebo_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "tests/builders/test_files.h"

namespace kelvane {
namespace {

using namespace writers;
using Bytes = std::vector<std::uint8_t>;
using enum Generation;

// "rejected " when the load returned 0, "no model: " when the problem says the file is none, the first problem's
// field (or text), the object count, slots 0 to 2 as "PNTIv" ('-' for each array missing or the slot hidden),
// " lit", name 0, and slot 0's vertex count, index count and indices when it has indices.
std::string load(Scene& s, Bytes bytes, Generation generation = Current) {
    std::optional<ReadProblem> p;
    const bool read = loadEboBytes(generation, s, std::move(bytes), &p);
    std::ostringstream out;
    out << (read ? "" : "rejected ") << (p && p->what.starts_with("not an EBO model: ") ? "no model: " : "")
        << (!p ? "" : p->field.empty() ? p->what : p->field) << "|" << s.objectCount;
    for (int i = 0; i < 3; ++i)
        out << ' ' << (s.hasPositions[i] ? 'P' : '-') << (s.hasNormals[i] ? 'N' : '-') << (s.hasTexCoords[i] ? 'T' : '-')
            << (s.hasIndices[i] ? 'I' : '-') << (s.visible[i] ? 'v' : '-');
    out << (s.normalsPresent + s.lightingOn ? " lit " : " ") << s.names[0].value_or("-");
    if (s.hasIndices[0]) out << "|" << s.hasPositions[0] * s.positions[0].size() << " " << s.indexCount[0] << " ";
    for (auto i : s.hasIndices[0] ? s.indices[0] : SharedArray<std::uint16_t>{}) out << i;
    return out.str();
}

// A file whose arrays section (current generation: after the object table section) holds these descriptors.
Bytes build(std::vector<EboDescriptor> d, std::vector<std::string> names = {"a"}, Generation generation = Current) {
    EboFile file;
    file.generation = generation, file.names = std::move(names), file.sections = {sectionOf(std::move(d))};
    if (generation == Current) file.sections.insert(file.sections.begin(), EboSection{});
    return buildEbo(file).bytes;
}
Bytes legacy(std::vector<EboDescriptor> d) { return build(std::move(d), {}, Legacy); }
EboDescriptor pos(const std::vector<Vec3f>& v = {{0, 0, 0}, {1, 2, 3}, {-1, 5, -2}}) { return arrayDescriptor(12, bytesOf(v)); }
EboDescriptor uv(const std::vector<Vec2f>& v = {{0, 0}, {1, 0}, {0, 1}}) { return arrayDescriptor(8, bytesOf(v)); }
EboDescriptor strip(const std::vector<std::uint16_t>& v = {0, 1, 2}) { return arrayDescriptor(2, bytesOf(v)); }
EboDescriptor sized(EboDescriptor d, std::int32_t byteSize) { d.byteSize = byteSize; return d; }
// Earlier generation: a record descriptor (kind 0) gives size and stride; a data descriptor leads to the data.
EboDescriptor record(std::int32_t stride, std::int32_t byteSize) { return sized(arrayDescriptor(stride, {}), byteSize); }
EboDescriptor data(Bytes bytes) { return {7, 0, std::move(bytes), {}, {}}; }

// Each case is read over a model of three unit quads, all made visible.
TEST(EboReader, ArraysGoToSlotsByStrideOrderAndSize) {
    // A descriptor of another kind, skipped unread: its bytes would read as positions lying outside the file.
    EboDescriptor other{3, 0, Bytes(28), {}, {}};
    test::put32(other.data, 0, 12), test::put32(other.data, 4, 12), test::put32(other.data, 8, 0x7fffff00);
    const Bytes p = bytesOf(std::vector<Vec3f>{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 2}, {2, -1, 0}}),
                t = bytesOf(std::vector<Vec2f>(5)), s = bytesOf(std::vector<std::uint16_t>{0, 1, 2, 3, 4});
    EboFile solo = eboFileOf({test::quadObject("solo")}, Current), limited = eboFileOf({test::quadObject("new")}, Current);
    solo.sections.erase(solo.sections.begin());  // one section serves as first and last
    const auto entryTable = static_cast<std::int32_t>(buildEbo(limited).layout.entryTable);
    limited.limit = entryTable;  // equal passes
    const Bytes good = buildEbo(limited).bytes;
    limited.limit = entryTable - 1;
    EboFile twenty = eboFileOf(std::vector(20, test::quadObject("a")), Current), none = eboFileOf({test::quadObject("a")}, Current);
    twenty.sections.back().descriptors.push_back(arrayDescriptor(4, {1, 2, 3, 4}));  // skipped: the file is whole
    none.sectionCount = 0;
    const std::string note = "The eyes sit too low and the hair needs a darker shade before Friday.\n";
    const Bytes text(note.begin(), note.end());
    const std::tuple<Generation, Bytes, std::string> cases[] = {
        // Positions, normals, texture coordinates, indices; a complete slot ends, an incomplete one never counts.
        {Current, build({other, arrayDescriptor(4, p), pos(), strip(), pos(), pos({{7, 7, 7}}), strip({2, 1, 0}),
                          uv(), uv({{5, 5}})}), "|1 PNTIv --T-- ----- lit a|3 3 012"},
        // Sizes round down; too small ones give empty arrays that still count, a negative index count as is.
        {Current, build({sized(pos(), 11), sized(uv(), -8), sized(strip(), std::numeric_limits<std::int32_t>::min())}),
         "|1 P-TIv ----- ----- a|0 -1073741824 "},
        {Current, build({sized(pos(), 35), uv(), sized(strip(), 5)}), "|1 P-TIv ----- ----- a|2 2 01"},
        // The table record (stride 0) is skipped as a record (of another kind, as the first row's descriptor is).
        {Current, (solo.objectTableKind = 0, buildEbo(solo).bytes), "|1 PNTIv ----- ----- lit solo|4 4 0123"},
        // A file that fails the limit test or lacks its header or first section keeps the old objects; names
        // and lighting are reset all the same. A model cut short is one; text, whose first section lies far
        // past its end, is none.
        {Current, good, "|1 PNTIv ----- ----- lit new|4 4 0123"},
        {Current, buildEbo(limited).bytes, "rejected object entry table offset|3 PNTIv PNTIv PNTIv SCRATCH|4 4 0123"},
        {Current, Bytes(good.begin(), good.begin() + 60), "rejected section head|3 PNTIv PNTIv PNTIv SCRATCH|4 4 0123"},
        {Current, text, "rejected no model: section head|3 PNTIv PNTIv PNTIv SCRATCH|4 4 0123"},
        {Legacy, text, "no model: section head|1 ----v P-TIv P-TIv -"},
        // Only the first 20 objects are kept; a file without sections has no arrays.
        {Current, buildEbo(twenty).bytes, "|20 PNTIv PNTI- PNTI- lit a|4 4 0123"},
        {Current, (twenty.sections.back().descriptors.push_back(strip()), buildEbo(twenty).bytes),
         "descriptor|20 PNTIv PNTI- PNTI- lit a|4 4 0123"},
        {Current, buildEbo(none).bytes, "section count|0 ----v ----- ----- a"},
        // Earlier generation: two records in a row start a new slot; slots past the new count stay as they were.
        {Legacy, legacy({record(0, 0), record(12, 60), data(p), record(8, 40), data(t)}), "|2 ----v P-T-- P-TIv -"},
        {Legacy, Bytes(40, 0), "no model: file header|3 P-TIv P-TIv P-TIv -|4 2 012123"},
        // Strips become triangle lists, of the strip entries in the file only; odd triangles keep the strip's
        // order; short strips give none.
        {Legacy, legacy({record(2, 1000), data(s)}), "strip|1 ---Iv P-TIv P-TIv -|0 3 012123234"},
        {Legacy, legacy({record(2, 2), data(s)}), "|1 ---Iv P-TIv P-TIv -|0 -1 "},
        {Legacy, legacy({record(2, -6), data(s)}), "|1 ---Iv P-TIv P-TIv -|0 -5 "},
        // A second array of the same stride is skipped; a strip takes only the entries its record declares.
        {Legacy, legacy({record(12, 12), data(bytesOf(std::vector<Vec3f>{{1, 1, 1}})), data(p), record(2, 6), data(s),
                          data(bytesOf(std::vector<std::uint16_t>{4, 4, 4}))}), "|1 P--Iv P-TIv P-TIv -|1 1 012"},
        {Legacy, legacy({data(p), record(8, 40), data(t)}), "descriptor|1 --T-v P-TIv P-TIv -"},
    };
    for (const auto& [generation, bytes, expected] : cases) {
        Scene scene;
        load(scene, makeEbo(std::vector(3, test::quadObject("q")), generation), generation);
        scene.visible.fill(1);
        EXPECT_EQ(load(scene, bytes, generation), expected);
    }
    Scene scene;
    EXPECT_EQ(loadEbo(Legacy, scene, "/nonexistent/kelvane/legacy.ebo"), 1);
}

TEST(EboReader, BoundsAndNamesComeFromTheArraysAndEntriesThatCount) {
    Scene scene;
    load(scene, build({pos({{9, 9, 9}}), pos(), uv(), strip(), pos({{7, 7, 7}})}));
    EXPECT_EQ(scene.normals[0][1].y, 2.0f);  // the second stride-12 array
    EXPECT_EQ(scene.maxX[0], 9.0f);           // not the third's 7
    // A NaN never replaces a bound, but a NaN first vertex is the starting value.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    load(scene, build({pos({{1, nan, 2}, {nan, 4, -3}, {-5, 6, 7}}), uv(), strip()}));
    EXPECT_EQ((std::array{scene.minX[0], scene.maxX[0], scene.minZ[0], scene.maxZ[0]}), (std::array<float, 4>{-5, 1, -3, 7}));
    EXPECT_TRUE(std::isnan(scene.minY[0]) && std::isnan(scene.maxY[0]));
    // A bound of zero is the first zero met, 0 or -0; found as well among
    // four vertices at a time as in the rest.
    load(scene, build({pos({{-5, nan, 7}, {nan, 4, -0.0f}, {0, 6, 0}, {-0.0f, 1, 0}, {-7, 2, 3}, {-0.0f, 3, -0.0f}}),
                       uv(), strip()}));
    EXPECT_EQ((std::array{scene.minX[0], scene.maxX[0], scene.minZ[0], scene.maxZ[0]}), (std::array<float, 4>{-7, 0, 0, 7}));
    EXPECT_EQ(std::tuple(std::signbit(scene.maxX[0]), std::signbit(scene.minZ[0]), std::isnan(scene.maxY[0])),
              std::tuple(false, true, true));

    // Names skip leading NULs and take at most 255 bytes.
    const std::string longest(255, 'x'), tooLong(256, 'y');
    load(scene, build({}, {std::string("\0\0eyes", 6), longest, tooLong, std::string("\0", 1) + tooLong, "\xe9t\xe9"}));
    // A skipped NUL leaves the empty string when no name follows in 256 bytes.
    const std::optional<std::string> expected[] = {"eyes", longest, "SCRATCH", "", "\xe9t\xe9", "SCRATCH"};
    EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), scene.names.begin()));
}

}  // namespace
}  // namespace kelvane
