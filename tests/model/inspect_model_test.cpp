// Runs the built `kelvane-inspect model` on files from the builder and reads
// its JSON back.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "tests/builders/ebo_builder.h"

namespace kelvane {
namespace {

using Json = nlohmann::ordered_json;
using test::quadObject;

struct InspectRun {
    int status = -1;
    std::string out;
    Json json;
};

InspectRun inspect(const std::string& arguments) {
    InspectRun run;
    const std::string command = std::string(KELVANE_INSPECT_PATH) + " model " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.json = Json::parse(run.out, nullptr, false);
    return run;
}

// Files written by a test, removed when the test program ends.
struct TempFiles {
    std::vector<std::filesystem::path> paths;
    ~TempFiles() {
        for (const auto& path : paths) std::filesystem::remove(path);
    }
};
TempFiles tempFiles;

std::string tempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const auto path = std::filesystem::temp_directory_path() / ("kelvane_inspect_model_" + name);
    test::writeFile(path, bytes);
    tempFiles.paths.push_back(path);
    return path.string();
}

std::vector<std::string> keysOf(const Json& object) {
    std::vector<std::string> keys;
    for (const auto& item : object.items()) keys.push_back(item.key());
    return keys;
}

float asFloat(const Json& value) {
    if (value.is_string()) {
        const auto text = value.get<std::string>();
        if (text == "nan") return NAN;
        return text == "inf" ? INFINITY : -INFINITY;
    }
    return static_cast<float>(value.get<double>());
}

TEST(InspectModel, PrintsTheStoreAfterLoadingEachFileInTurn) {
    std::vector<test::EboObject> five;
    for (int i = 0; i < 5; ++i) five.push_back(quadObject("old" + std::to_string(i)));
    const auto first = tempFile("five.ebo", test::makeEbo(five, Generation::Current));
    const auto second = tempFile("two.ebo", test::makeEbo({quadObject("t\xeate", 1, 2, 3), quadObject("eyes", 0, 0, 0, false)},
                                                          Generation::Current));
    const InspectRun run = inspect(first + " " + second);
    ASSERT_EQ(run.status, 0) << run.out;
    ASSERT_FALSE(run.json.is_discarded()) << run.out;
    const Json& j = run.json;
    EXPECT_EQ(keysOf(j), (std::vector<std::string>{"generation", "loads", "objectCount", "normalsPresent", "lightingOn",
                                                   "names", "objects"}));
    EXPECT_EQ(j["generation"], "current");
    ASSERT_EQ(j["loads"].size(), 2u);
    EXPECT_EQ(j["loads"][1], (Json{{"path", second}, {"result", 1}, {"problem", nullptr}}));
    EXPECT_EQ(j["objectCount"], 2);
    EXPECT_EQ(j["lightingOn"], 1);
    ASSERT_EQ(j["names"].size(), 20u);
    EXPECT_EQ(j["names"][0], "t\xc3\xaate");  // Latin-1 shown as UTF-8
    EXPECT_EQ(j["names"][2], "SCRATCH");
    ASSERT_EQ(j["objects"].size(), 2u);
    const Json& head = j["objects"][0];
    EXPECT_EQ(keysOf(head), (std::vector<std::string>{"slot", "name", "visible", "hasPositions", "hasNormals",
                                                      "hasTexCoords", "hasIndices", "vertexCount", "normalCount",
                                                      "texCoordCount", "indexCount", "min", "max"}));
    EXPECT_EQ(head["visible"], 1);
    EXPECT_EQ(head["vertexCount"], 4);
    EXPECT_EQ(head["indexCount"], 4);
    EXPECT_EQ(head["min"], (Json{1.0, 2.0, 3.0}));
    EXPECT_EQ(head["max"], (Json{2.0, 3.0, 3.0}));
    EXPECT_EQ(j["objects"][1]["hasNormals"], 0);
    EXPECT_EQ(j["objects"][1]["normalCount"], 0);
    EXPECT_EQ(j["objects"][1]["visible"], 0);
}

TEST(InspectModel, ArraysReadBackAsTheSameFloats) {
    const std::vector<float> tricky = {0.1f, -0.0f, 1e-45f, FLT_MIN, FLT_MAX, 3.4028232e38f, 16777217.0f, 1.0f / 3,
                                       NAN, INFINITY, -INFINITY, 123456.789f};
    test::EboObject object = quadObject("f");
    object.positions.clear();
    for (std::size_t i = 0; i + 2 < tricky.size(); i += 3) object.positions.push_back({tricky[i], tricky[i + 1], tricky[i + 2]});
    object.normals.reset();
    const InspectRun run = inspect("--arrays " + tempFile("floats.ebo", test::makeEbo({object}, Generation::Current)));
    ASSERT_EQ(run.status, 0) << run.out;
    const Json& positions = run.json["objects"][0]["positions"];
    ASSERT_EQ(positions.size(), 4u);
    for (std::size_t i = 0; i < tricky.size(); ++i)
        EXPECT_EQ(std::bit_cast<std::uint32_t>(asFloat(positions[i / 3][i % 3])), std::bit_cast<std::uint32_t>(tricky[i]))
            << i << ": " << positions[i / 3][i % 3];
    EXPECT_NE(run.out.find("0.1,"), std::string::npos) << "floats print in their shortest form";
    EXPECT_EQ(run.json["objects"][0]["indices"], (Json{0, 1, 2, 3}));
    EXPECT_EQ(run.json["objects"][0]["texCoords"][1], (Json{1.0, 0.0}));
}

TEST(InspectModel, LegacyListsTrianglesFlatAndHasNoNamesOrNormals) {
    const auto path = tempFile("legacy.ebo", test::makeEbo({quadObject("a"), quadObject("b")}, Generation::Legacy));
    const InspectRun run = inspect("--legacy --arrays " + path);
    ASSERT_EQ(run.status, 0) << run.out;
    const Json& j = run.json;
    EXPECT_EQ(keysOf(j), (std::vector<std::string>{"generation", "loads", "objectCount", "objects"}));
    EXPECT_EQ(j["generation"], "legacy");
    EXPECT_EQ(j["objectCount"], 2);
    const Json& o = j["objects"][1];
    EXPECT_EQ(keysOf(o), (std::vector<std::string>{"slot", "visible", "hasPositions", "hasTexCoords", "hasIndices",
                                                   "vertexCount", "texCoordCount", "indexCount", "min", "max",
                                                   "positions", "texCoords", "indices"}));
    EXPECT_EQ(o["indexCount"], 2);
    EXPECT_EQ(o["indices"], (Json{0, 1, 2, 1, 2, 3}));
}

TEST(InspectModel, ProblemsAreReportedWithTheirPlaceAndExitOne) {
    auto bytes = test::makeEbo({quadObject("a")}, Generation::Current);
    bytes.resize(bytes.size() - 30);
    const auto truncated = tempFile("truncated.ebo", bytes);
    const auto good = tempFile("good.ebo", test::makeEbo({quadObject("a")}, Generation::Current));
    const InspectRun run = inspect("/nonexistent/kelvane.ebo " + truncated + " " + good);
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.json["loads"].size(), 3u);
    EXPECT_EQ(run.json["loads"][0]["problem"], "cannot open file");
    EXPECT_EQ(run.json["loads"][0]["result"], 1);
    const std::string problem = run.json["loads"][1]["problem"];
    EXPECT_NE(problem.find("offset"), std::string::npos) << problem;
    EXPECT_NE(problem.find("field"), std::string::npos) << problem;
    EXPECT_EQ(run.json["loads"][2]["problem"], nullptr);
}

TEST(InspectModel, UsageErrorsExitTwo) {
    EXPECT_EQ(inspect("").status, 2);
    EXPECT_EQ(inspect("--no-such-flag x.ebo").status, 2);
}

}  // namespace
}  // namespace kelvane
