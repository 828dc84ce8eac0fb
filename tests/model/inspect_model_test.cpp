// Runs the built `kelvane-inspect model` on files from the builder and reads
// its JSON back.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "tests/support/run_command.h"
#include "tests/builders/test_files.h"
#include "tests/support/temp_dir.h"
#include "writers/ebo_writer.h"
#include "writers/file_writer.h"

namespace kelvane {
namespace {

using Json = nlohmann::ordered_json;
using test::quadObject;

struct InspectRun : test::CommandRun {
    Json json = Json::parse(out, nullptr, false);
};

InspectRun inspect(const std::string& arguments) {
    return {test::runCommand(std::string(KELVANE_INSPECT_PATH) + " model " + arguments + " 2>/dev/null")};
}

// Writes a file into a folder of this test program's own, removed when it ends.
std::string tempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    static const test::TempDir folder;
    writers::writeFile(folder / name, bytes);
    return (folder / name).string();
}

TEST(InspectModel, PrintsTheStoreAfterLoadingEachFileInTurn) {
    const auto first = tempFile("five.ebo", writers::makeEbo(std::vector(5, quadObject("old")), Generation::Current));
    const auto second = tempFile("two.ebo", writers::makeEbo({quadObject("t\xeate", 1, 2, 3), quadObject("eyes", 0, 0, 0, false)},
                                                          Generation::Current));
    const InspectRun run = inspect(first + " " + second);
    ASSERT_EQ(run.status, 0) << run.out;
    Json j = run.json;
    ASSERT_EQ(j["names"].size(), 20u);
    EXPECT_EQ(j["names"][0], "t\xc3\xaate");  // Latin-1 shown as UTF-8
    EXPECT_EQ(j["names"][2], "SCRATCH");
    ASSERT_EQ(j["objects"].size(), 2u);
    EXPECT_EQ(j["objects"][0], Json::parse(R"({"slot": 0, "name": "t\u00eate", "visible": 1, "hasPositions": 1,
        "hasNormals": 1, "hasTexCoords": 1, "hasIndices": 1, "vertexCount": 4, "normalCount": 4, "texCoordCount": 4,
        "indexCount": 4, "min": [1.0, 2.0, 3.0], "max": [2.0, 3.0, 3.0]})"));
    EXPECT_EQ(j["objects"][1]["hasNormals"], 0);
    EXPECT_EQ(j["objects"][1]["normalCount"], 0);
    EXPECT_EQ(j["objects"][1]["visible"], 0);
    j.erase("names");
    j.erase("objects");
    EXPECT_EQ(j, (Json{{"generation", "current"},
                       {"loads", {{{"path", first}, {"result", 1}, {"problem", nullptr}},
                                  {{"path", second}, {"result", 1}, {"problem", nullptr}}}},
                       {"objectCount", 2}, {"normalsPresent", 1}, {"lightingOn", 1}}));
}

TEST(InspectModel, ArraysReadBackAsTheSameFloats) {
    const std::vector<float> tricky = {0.1f, -0.0f, 1e-45f, FLT_MIN, FLT_MAX, 3.4028232e38f, 16777217.0f, 1.0f / 3,
                                       NAN, INFINITY, -INFINITY, 123456.789f};
    writers::EboObject object = quadObject("f");
    object.normals.reset();
    for (std::size_t i = 0; i < 4; ++i) object.positions[i] = {tricky[3 * i], tricky[3 * i + 1], tricky[3 * i + 2]};
    const InspectRun run = inspect("--arrays " + tempFile("floats.ebo", writers::makeEbo({object}, Generation::Current)));
    ASSERT_EQ(run.status, 0) << run.out;
    const Json& positions = run.json["objects"][0]["positions"];
    ASSERT_EQ(positions.size(), 4u);
    for (std::size_t i = 0; i < tricky.size(); ++i) {
        const Json& value = positions[i / 3][i % 3];  // numbers, or "nan", "inf", "-inf"
        const float read = value.is_string() ? std::stof(value.get<std::string>()) : value.get<float>();
        EXPECT_EQ(std::bit_cast<std::uint32_t>(read), std::bit_cast<std::uint32_t>(tricky[i])) << i << ": " << value;
    }
    EXPECT_NE(run.out.find("0.1,"), std::string::npos) << "floats print in their shortest form";
    EXPECT_EQ(run.json["objects"][0]["indices"], (Json{0, 1, 2, 3}));
    EXPECT_EQ(run.json["objects"][0]["texCoords"][1], (Json{1.0, 0.0}));
}

TEST(InspectModel, LegacyListsTrianglesFlatAndHasNoNamesOrNormals) {
    const auto path = tempFile("legacy.ebo", writers::makeEbo({quadObject("a"), quadObject("b")}, Generation::Legacy));
    const InspectRun run = inspect("--legacy --arrays " + path);
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.json["loads"], (Json{{{"path", path}, {"result", 1}, {"problem", nullptr}}}));
    EXPECT_EQ(run.json["objects"].size(), 2u);
    EXPECT_EQ(run.json["objects"][1], Json::parse(R"({"slot": 1, "visible": 0, "hasPositions": 1, "hasTexCoords": 1,
        "hasIndices": 1, "vertexCount": 4, "texCoordCount": 4, "indexCount": 2, "min": [0.0, 0.0, 0.0], "max": [1.0, 1.0, 0.0],
        "positions": [[0.0, 0.0, 0.0], [1.0, 0.0, 0.0], [0.0, 1.0, 0.0], [1.0, 1.0, 0.0]],
        "texCoords": [[0.0, 0.0], [1.0, 0.0], [0.0, 1.0], [1.0, 1.0]], "indices": [0, 1, 2, 1, 2, 3]})"));
    Json j = run.json;
    j.erase("loads");
    j.erase("objects");
    EXPECT_EQ(j, (Json{{"generation", "legacy"}, {"objectCount", 2}}));
}

TEST(InspectModel, ProblemsAreReportedWithTheirPlaceAndUsageErrorsExitTwo) {
    auto bytes = writers::makeEbo({quadObject("a")}, Generation::Current);
    const auto good = tempFile("good.ebo", bytes);
    bytes.resize(bytes.size() - 30);
    const InspectRun run = inspect("/nonexistent/kelvane.ebo " + tempFile("truncated.ebo", bytes) + " " + good);
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.json["loads"].size(), 3u);
    EXPECT_EQ(run.json["loads"][0]["problem"], "cannot open file: no such file");
    EXPECT_EQ(run.json["loads"][0]["result"], 1);
    const std::string problem = run.json["loads"][1]["problem"];
    EXPECT_NE(problem.find("offset"), std::string::npos) << problem;
    EXPECT_NE(problem.find("field"), std::string::npos) << problem;
    EXPECT_EQ(run.json["loads"][2]["problem"], nullptr);

    // A path that is not UTF-8 is still printed, its stray byte replaced.
    const InspectRun latin1 = inspect("/nonexistent/t\xeate.ebo");
    EXPECT_EQ(latin1.status, 1);
    EXPECT_EQ(latin1.json["loads"][0]["path"], "/nonexistent/t\xef\xbf\xbdte.ebo");

    EXPECT_EQ(inspect("").status, 2);
    EXPECT_EQ(inspect("--no-such-flag x.ebo").status, 2);
}

}  // namespace
}  // namespace kelvane
