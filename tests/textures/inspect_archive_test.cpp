// kelvane-inspect archive / decode / export, run as the real program.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "writers/dxt_encoder.h"
#include "writers/file_writer.h"
#include "writers/fsh_writer.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using nlohmann::json;

struct Outcome {
    int status;
    std::string out, err;
};

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
std::string q(const fs::path& path) { return " '" + path.string() + "'"; }
Bytes bytesOf(const std::string& s, std::size_t n) { return Bytes(s.begin(), s.begin() + std::min(n, s.size())); }

class InspectArchive : public ::testing::Test {
protected:
    Outcome inspect(const std::string& args) {
        const auto [status, out] =
            test::runCommand(std::string("'") + KELVANE_INSPECT_PATH + "' " + args + " 2>" + q(dir / "err"));
        return {status, out, readText(dir / "err")};
    }
    fs::path write(const std::string& name, const writers::FshArchive& archive) {
        writers::writeFile(dir / name, writers::buildFsh(archive));
        return dir / name;
    }
    // Three images: a 5 x 3 DXT1 picture (indices 3, 2, 1, 0 on each row), a DXT3 block, an unknown code.
    fs::path sample() {
        const auto block = writers::dxt3Block({0, 5, 10, 15}, 0xF800, 0x001F, {0, 1, 2, 3});
        return write("sample.fsh", {{{"face", 352, 5, 3, Bytes(16, 0x1B), {}, {}},
                                     {"\xE9yes", 353, 4, 4, Bytes(block.begin(), block.end()), {}, {}},
                                     {"pal/8", 0x7B, 8, 8, Bytes(64, 1), {}, {}}}, {}});
    }
    test::TempDir dir;
};

TEST_F(InspectArchive, ListsSlotsAndTheBlankAsJson) {
    const Outcome run = inspect("archive" + q(sample()));
    ASSERT_EQ(run.status, 0) << run.err;
    const json j = json::parse(run.out);
    EXPECT_EQ(j["generation"], "current");
    EXPECT_EQ(j["loads"].size(), 1u);
    EXPECT_TRUE(j["loads"][0]["problem"].is_null());
    EXPECT_EQ(j["slotCount"], 3);
    EXPECT_EQ(j["currentSlot"], 0);
    ASSERT_EQ(j["slots"].size(), 3u);
    EXPECT_EQ(j["slots"][0]["name"], "face");
    EXPECT_EQ(j["slots"][0]["width"], 5);
    EXPECT_EQ(j["slots"][0]["dataSize"], 16);
    EXPECT_EQ(j["slots"][0]["checked"], 1);
    EXPECT_EQ(j["slots"][1]["name"], "\xC3\xA9yes");  // Latin-1 e-acute as UTF-8
    EXPECT_EQ(j["slots"][1]["formatCode"], 353);
    EXPECT_EQ(j["blank"]["formatCode"], 0);
    const json legacy = json::parse(inspect("archive --legacy" + q(sample())).out);
    EXPECT_EQ(legacy["generation"], "legacy");
    EXPECT_FALSE(legacy.contains("blank"));
}

TEST_F(InspectArchive, LoadsInTurnIntoOneStoreAndReportsProblems) {
    Bytes bytes = writers::buildFsh({{{"a", 352, 4, 4, Bytes(8, 1), {}, {}}}, {}});
    bytes.resize(bytes.size() - 3);
    writers::writeFile(dir / "truncated.fsh", bytes);
    const Outcome run = inspect("archive" + q(sample()) + q(dir / "truncated.fsh") + q(dir / "none.fsh"));
    EXPECT_EQ(run.status, 1);
    const json j = json::parse(run.out);
    ASSERT_EQ(j["loads"].size(), 3u);
    EXPECT_TRUE(j["loads"][0]["problem"].is_null());
    // One line each, as `model` prints them.
    const std::string truncated = j["loads"][1]["problem"];
    EXPECT_NE(truncated.find("field 'data size' (offset " + std::to_string(16 + 10 + 12) + ")"), std::string::npos)
        << truncated;
    EXPECT_EQ(j["loads"][2]["problem"], "cannot open file: no such file");
    EXPECT_EQ(j["slotCount"], 0);  // the last load could not open its file
    EXPECT_TRUE(j["slots"].empty());
    EXPECT_EQ(inspect("archive").status, 2);
    const Outcome latin1 = inspect("archive" + q(dir / "\xe9.fsh"));  // a path that is not UTF-8
    EXPECT_EQ(latin1.status, 1);
    EXPECT_EQ(json::parse(latin1.out)["loads"][0]["problem"], "cannot open file: no such file");
}

TEST_F(InspectArchive, DecodesWhatTheViewerWouldUpload) {
    const fs::path archive = sample();
    ASSERT_EQ(inspect("decode" + q(archive) + " 1 -o" + q(dir / "eyes.rgba")).status, 0);
    const std::string eyes = readText(dir / "eyes.rgba");
    EXPECT_EQ(eyes.size(), 64u);
    // Pixel k: palette entry k % 4 of red and blue, alpha 17 * nibble.
    EXPECT_EQ(bytesOf(eyes, 16), (Bytes{0xFF, 0, 0, 0, 0, 0, 0xFF, 85, 0xAA, 0, 0x55, 170, 0x55, 0, 0xAA, 255}));
    // The PNG holds the same width x height pixels as the raw output.
    ASSERT_EQ(inspect("decode" + q(archive) + " 0 -o" + q(dir / "face.png")).status, 0);
    ASSERT_EQ(inspect("decode" + q(archive) + " 0 -o" + q(dir / "face.rgba")).status, 0);
    int w = 0, h = 0, n = 0;
    stbi_uc* png = stbi_load((dir / "face.png").string().c_str(), &w, &h, &n, 4);
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 3);
    const std::string face = readText(dir / "face.rgba");
    EXPECT_EQ(face.size(), 5u * 3 * 4);
    EXPECT_EQ(Bytes(png, png + w * h * 4), bytesOf(face, 5 * 3 * 4));
    stbi_image_free(png);
}

TEST_F(InspectArchive, RefusesSlotsThatCannotBeDecoded) {
    const fs::path archive = sample(), out = dir / "x.png";
    const std::pair<std::string, std::string> refusals[] = {{" 2", "neither DXT1"}, {" 3", "out of range"}};
    for (const auto& [slot, message] : refusals) {
        const Outcome run = inspect("decode" + q(archive) + slot + " -o" + q(out));
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(inspect("decode" + q(archive) + " 0 -o" + q(dir / "x.bmp")).status, 2);
}

TEST_F(InspectArchive, ExportsEveryDecodableImageUnderASafeName) {
    const Outcome run = inspect("export" + q(sample()) + q(dir / "png"));
    EXPECT_EQ(run.status, 1);  // slot 2 is skipped
    EXPECT_NE(run.err.find("skipped slot 2"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(dir / "png" / "00-face.png"));
    EXPECT_TRUE(fs::exists(dir / "png" / "01-_yes.png"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "png"), fs::directory_iterator()), 2);
    const fs::path clean = write("clean.fsh", {{{"..", 352, 4, 4, Bytes(8, 0), {}, {}}}, {}});
    EXPECT_EQ(inspect("export" + q(clean) + q(dir / "clean")).status, 0);
    EXPECT_TRUE(fs::exists(dir / "clean" / "00-_..png"));
}

}  // namespace
}  // namespace kelvane
