// kelvane-inspect run as the real program, in a folder of files from the
// writers: its JSON documents, files and exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cfloat>
#include <cmath>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>

#include "tests/builders/bmp_builder.h"
#include "tests/builders/test_files.h"
#include "tests/support/temp_dir.h"
#include "writers/file_writer.h"
#include "writers/fsh_writer.h"

// Pictures are written as designated initializers that leave most fields at
// their defaults, which GCC 12 reports as missing.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;
using Bytes = std::vector<std::uint8_t>;
using test::quadObject;

class Inspect : public ::testing::Test {
protected:
    struct Run { int status = -1; std::string out; };  // exit status (-1 if it did not exit), standard output
    // Runs in the folder, as a user would through the shell; standard error goes with standard output when
    // `withErrors`, else nowhere.
    Run run(const std::string& arguments, bool withErrors = false) {
        const std::string line = "cd '" + dir.path.string() + "' && " + KELVANE_INSPECT_PATH + " " + arguments +
                                 (withErrors ? " 2>&1" : " 2>/dev/null");
        Run r;
        FILE* pipe = popen(line.c_str(), "r");
        char buffer[4096];
        for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) r.out.append(buffer, n);
        if (const int status = pipe ? pclose(pipe) : -1; status != -1 && WIFEXITED(status)) r.status = WEXITSTATUS(status);
        return r;
    }
    Json json(const std::string& arguments, int status) {
        const Run r = run(arguments);
        EXPECT_EQ(r.status, status) << arguments;
        return Json::parse(r.out, nullptr, false);
    }
    std::string read(const std::string& name) {
        std::ifstream in(dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    test::TempDir dir;
};

TEST_F(Inspect, ModelReportsEachLoadAndPrintsTheStoreAfterTheLast) {
    writers::writeFile(dir / "cut.ebo", Bytes(40, 0));
    writers::writeFile(dir / "five.ebo", writers::makeEbo(std::vector(5, quadObject("old")), Generation::Current));
    writers::writeFile(dir / "two.ebo", writers::makeEbo({quadObject("t\xeate", 1, 2, 3), quadObject("eyes", 0, 0, 0, false)},
                                                          Generation::Current));
    Json expected = Json::parse(R"j({"generation": "current", "loads": [{"path": "missing.ebo", "result": 1,
        "problem": "cannot open file: no such file"}, {"path": "cut.ebo", "result": 0, "problem":
        "not an EBO model: offset past the end of the file (48 bytes needed, file is 40 bytes) at field 'file header' (offset 0)"},
        {"path": "five.ebo", "result": 1, "problem": null}, {"path": "two.ebo", "result": 1, "problem": null}],
        "objectCount": 2, "normalsPresent": 1,
        "lightingOn": 1, "names": ["t\u00eate", "eyes"], "objects": [{"slot": 0, "name": "t\u00eate", "visible": 1,
        "hasPositions": 1, "hasNormals": 1, "hasTexCoords": 1, "hasIndices": 1, "vertexCount": 4, "normalCount": 4,
        "texCoordCount": 4, "indexCount": 4, "min": [1.0, 2.0, 3.0], "max": [2.0, 3.0, 3.0]}, {"slot": 1, "name": "eyes",
        "visible": 0, "hasPositions": 1, "hasNormals": 0, "hasTexCoords": 1, "hasIndices": 1, "vertexCount": 4,
        "normalCount": 0, "texCoordCount": 4, "indexCount": 4, "min": [0.0, 0.0, 0.0], "max": [1.0, 1.0, 0.0]}]})j");
    for (int i = 2; i < 20; ++i) expected["names"].push_back("SCRATCH");
    EXPECT_EQ(json("model missing.ebo cut.ebo five.ebo two.ebo", 1), expected);
}

// Floats print in the shortest forms that read back as the same floats; "nan", "inf" and "-inf" as strings.
TEST_F(Inspect, ModelLegacyListsTrianglesFlatAndFloatsExactly) {
    const float f[] = {0.1f, -0.0f, 1e-45f, FLT_MIN, FLT_MAX, 3.4028232e38f, 16777217.0f, 1.0f / 3, NAN, INFINITY, -INFINITY, 123456.789f};
    writers::EboObject floats = quadObject("f");
    for (std::size_t i = 0; i < 4; ++i) floats.positions[i] = {f[3 * i], f[3 * i + 1], f[3 * i + 2]};
    writers::writeFile(dir / "legacy.ebo", writers::makeEbo({quadObject("a"), floats}, Generation::Legacy));
    const std::string out = run("model --legacy --arrays legacy.ebo").out;
    Json j = Json::parse(out);
    EXPECT_EQ(j["objects"][1]["positions"], Json::parse(R"([[0.1, -0.0, 1e-45], [1.1754944e-38, 3.4028235e+38,
        3.4028233e+38], [16777216.0, 0.33333334, "nan"], ["inf", "-inf", 123456.79]])"));
    EXPECT_NE(out.find("-0.0,"), std::string::npos);
    j["objects"].erase(1);
    EXPECT_EQ(j, Json::parse(R"({"generation": "legacy", "loads": [{"path": "legacy.ebo", "result": 1, "problem": null}],
        "objectCount": 2, "objects": [{"slot": 0, "visible": 1, "hasPositions": 1, "hasTexCoords": 1, "hasIndices": 1,
        "vertexCount": 4, "texCoordCount": 4, "indexCount": 2, "min": [0.0, 0.0, 0.0], "max": [1.0, 1.0, 0.0], "positions":
        [[0.0, 0.0, 0.0], [1.0, 0.0, 0.0], [0.0, 1.0, 0.0], [1.0, 1.0, 0.0]], "texCoords": [[0.0, 0.0], [1.0, 0.0], [0.0,
        1.0], [1.0, 1.0]], "indices": [0, 1, 2, 1, 2, 3]}]})"));
}

TEST_F(Inspect, PathsThatAreNotUtf8ArePrintedAndUsageErrorsExitTwo) {
    // The stray byte is replaced.
    EXPECT_EQ(json("model t\xeate.ebo", 1)["loads"][0]["path"], "t\xef\xbf\xbdte.ebo");
    EXPECT_EQ(json("archive \xe9.fsh", 1)["loads"][0]["path"], "\xef\xbf\xbd.fsh");
    for (const char* usage : {"model", "model --no-such-flag x.ebo", "archive", "decode x.fsh 0 -o x.bmp"})
        EXPECT_EQ(run(usage).status, 2) << usage;
}

// What "Load BMP" would import from a picture, or why the viewers refuse it: the reason on standard error too.
TEST_F(Inspect, BmpShowsWhatTheViewersImportOrWhyNot) {
    Bytes rle = test::buildBmp({.width = 3, .height = -2, .rows = {Bytes(9), Bytes(9)}});
    writers::writeFile(dir / "good.bmp", rle);
    test::put32(rle, 30, 1);
    writers::writeFile(dir / "rle.bmp", rle);
    EXPECT_EQ(json("bmp good.bmp", 0), Json::parse(R"({"path": "good.bmp", "width": 3, "height": 2, "topDown": true,
        "bitsPerPixel": 24, "compression": "none", "result": "imported", "problem": null})"));
    const Run refused = run("bmp rle.bmp", true);
    EXPECT_TRUE(refused.status == 1 && refused.out.find("\"result\": \"refused\"") != std::string::npos &&
                refused.out.find("kelvane-inspect: rle.bmp: run-length encoded (RLE8)") != std::string::npos) << refused.out;
}

// Three images: a 5 x 3 DXT1 picture of a red and a blue block, a DXT3 block, an unknown code.
class InspectArchive : public Inspect {
protected:
    void SetUp() override {
        const Bytes face = {0x00, 0xF8, 0x00, 0xF8, 0, 0, 0, 0, 0x1F, 0, 0x1F, 0, 0, 0, 0, 0};  // solid red, solid blue
        // Alphas 0, 5, 10, 15 for pixels 0 to 3; red and blue; palette entries 0 to 3 for pixels 0 to 3.
        const Bytes eyes = {0x50, 0xFA, 0, 0, 0, 0, 0, 0, 0x00, 0xF8, 0x1F, 0x00, 0xE4, 0, 0, 0};
        writers::writeFile(dir / "sample.fsh", writers::buildFsh({{{"face", 352, 5, 3, face, {}, {}}, {"\xE9yes", 353, 4, 4,
                                                                    eyes, {}, {}}, {"pal/8", 0x7B, 8, 8, Bytes(64, 1), {}, {}}}, {}}));
    }
};

TEST_F(InspectArchive, ReportsEachLoadAndListsTheSlotsAndTheBlankAfterTheLast) {
    writers::writeFile(dir / "cut.fsh", writers::buildFsh({{{"a", 352, 4, 4, Bytes(5, 1), {}, 8}}, {}}));
    const std::string note = "Hair: too dark, redo.\n";  // "o da" is the image count
    writers::writeFile(dir / "note.fsh", Bytes(note.begin(), note.end()));
    EXPECT_EQ(json("archive cut.fsh note.fsh sample.fsh", 1), Json::parse(R"j({"generation": "current", "loads": [{"path":
        "cut.fsh", "problem": "8 bytes declared, the file holds 5 at field 'data size' (offset 38)"}, {"path": "note.fsh",
        "problem":
        "not an FSH archive: 1864393825 images declared, the file holds no directory entry at field 'image count' (offset 8)"},
        {"path": "sample.fsh", "problem": null}], "currentSlot": 0, "slotCount": 3, "slots": [{"slot": 0, "name": "face",
        "width": 5, "height": 3, "formatCode": 352, "checked": 1, "dataSize": 16}, {"slot": 1, "name": "\u00e9yes", "width": 4,
        "height": 4, "formatCode": 353, "checked": 0, "dataSize": 16}, {"slot": 2, "name": "pal/8", "width": 8, "height": 8,
        "formatCode": 123, "checked": 0, "dataSize": 0}], "blank": {"width": 0, "height": 0, "formatCode": 0, "checked": 0}})j"));
    const Json legacy = json("archive --legacy sample.fsh", 0), j = json("archive sample.fsh missing.fsh", 1);
    EXPECT_EQ(legacy["generation"].get<std::string>() + std::to_string(legacy.contains("blank")), "legacy0");
    EXPECT_EQ(j["loads"][1]["problem"].dump() + j["slotCount"].dump() + j["slots"].dump(),
              "\"cannot open file: no such file\"0[]");  // the last load could not open its file
}

TEST_F(InspectArchive, DecodeWritesWhatTheViewerWouldUploadOrRefuses) {
    ASSERT_EQ(run("decode sample.fsh 1 -o eyes.rgba").status, 0);
    // Pixel k: palette entry k % 4 of red and blue, alpha 17 * nibble.
    EXPECT_EQ(read("eyes.rgba").substr(0, 16) + std::to_string(read("eyes.rgba").size()),
              std::string("\xFF\0\0\0\0\0\xFF\x55\xAA\0\x55\xAA\x55\0\xAA\xFF", 16) + "64");
    // Each row: four columns of the red block, one of the blue. The PNG's pixels are checked by e2e_inspect_render.
    ASSERT_EQ(run("decode sample.fsh 0 -o face.rgba && " KELVANE_INSPECT_PATH " decode sample.fsh 0 -o face.png").status, 0);
    const std::string red("\xFF\0\0\xFF", 4), row = red + red + red + red + std::string("\0\0\xFF\xFF", 4);
    EXPECT_EQ(read("face.rgba"), row + row + row);
    EXPECT_EQ(read("face.png").substr(1, 3), "PNG");
    for (const auto& [slot, message] : {std::pair{"2", "neither DXT1"}, {"3", "out of range"}}) {
        const Run r = run("decode sample.fsh " + std::string(slot) + " -o x.png", true);
        EXPECT_EQ(r.status, 1) << slot;
        EXPECT_NE(r.out.find(message), std::string::npos) << r.out;
    }
    EXPECT_FALSE(fs::exists(dir / "x.png"));
}

TEST_F(InspectArchive, ExportWritesEveryDecodableImageUnderASafeName) {
    const Run r = run("export sample.fsh png", true);
    EXPECT_EQ(r.status, 1);  // slot 2 is skipped
    EXPECT_NE(r.out.find("skipped slot 2"), std::string::npos) << r.out;
    writers::writeFile(dir / "dots.fsh", writers::buildFsh({{{"..", 352, 4, 4, Bytes(8, 0), {}, {}}}, {}}));
    EXPECT_EQ(run("export dots.fsh png").status, 0);
    std::set<std::string> written;
    for (const auto& entry : fs::directory_iterator(dir / "png")) written.insert(entry.path().filename().string());
    EXPECT_EQ(written, (std::set<std::string>{"00-face.png", "01-_yes.png", "00-_..png"}));
}

}  // namespace
}  // namespace kelvane
