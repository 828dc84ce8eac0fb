// kelvane-inspect archive / decode / export, run as the real program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "tests/builders/fsh_builder.h"
#include "tests/textures/temp_dir.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#endif
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using test::FshArchive;
using test::FshImage;

struct Outcome {
    int status;
    std::string out, err;
};

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class InspectArchive : public ::testing::Test {
protected:
    Outcome inspect(const std::string& args) {
        const std::string command = std::string("'") + KELVANE_INSPECT_PATH + "' " + args + " >'" +
                                    (dir / "out.txt").string() + "' 2>'" + (dir / "err.txt").string() + "'";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readText(dir / "out.txt"), readText(dir / "err.txt")};
    }
    std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

    // Three images: a 5 x 3 DXT1 gradient, a DXT3 block, an unknown code.
    fs::path sample() {
        Bytes rgba(5 * 3 * 4);
        for (std::size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<std::uint8_t>(i * 13);
        const auto block = test::dxt3Block({0, 5, 10, 15}, 0xF800, 0x001F, {0, 1, 2, 3});
        const FshArchive a{{{"face", 352, 5, 3, test::encodeDxt1(5, 3, rgba), {}, {}},
                            {"\xE9yes", 353, 4, 4, Bytes(block.begin(), block.end()), {}, {}},
                            {"pal/8", 0x7B, 8, 8, Bytes(64, 1), {}, {}}},
                           {}};
        const fs::path path = dir / "sample.fsh";
        test::writeFile(path, test::buildFsh(a));
        return path;
    }
    test::TempDir dir;
};

TEST_F(InspectArchive, ListsSlotsAndTheBlankAsJson) {
    const Outcome run = inspect("archive " + quoted(sample()));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["generation"], "current");
    EXPECT_EQ(json["loads"].size(), 1u);
    EXPECT_TRUE(json["loads"][0]["problem"].is_null());
    EXPECT_EQ(json["slotCount"], 3);
    EXPECT_EQ(json["currentSlot"], 0);
    ASSERT_EQ(json["slots"].size(), 3u);
    EXPECT_EQ(json["slots"][0]["name"], "face");
    EXPECT_EQ(json["slots"][0]["width"], 5);
    EXPECT_EQ(json["slots"][0]["dataSize"], 16);
    EXPECT_EQ(json["slots"][0]["checked"], 1);
    EXPECT_EQ(json["slots"][1]["name"], "\xC3\xA9yes");  // Latin-1 e-acute as UTF-8
    EXPECT_EQ(json["slots"][1]["formatCode"], 353);
    EXPECT_EQ(json["slots"][2]["dataSize"], 0);
    EXPECT_EQ(json["blank"]["formatCode"], 0);
    EXPECT_EQ(json["blank"]["width"], 0);

    const Outcome legacy = inspect("archive --legacy " + quoted(sample()));
    const auto legacyJson = nlohmann::json::parse(legacy.out);
    EXPECT_EQ(legacyJson["generation"], "legacy");
    EXPECT_FALSE(legacyJson.contains("blank"));
}

TEST_F(InspectArchive, LoadsInTurnIntoOneStoreAndReportsProblems) {
    const fs::path truncated = dir / "truncated.fsh";
    Bytes bytes = test::buildFsh({{{"a", 352, 4, 4, Bytes(8, 1), {}, {}}}, {}});
    bytes.resize(bytes.size() - 3);
    test::writeFile(truncated, bytes);
    const Outcome run = inspect("archive " + quoted(sample()) + " " + quoted(truncated) + " " + quoted(dir / "none.fsh"));
    EXPECT_EQ(run.status, 1);
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json["loads"].size(), 3u);
    EXPECT_TRUE(json["loads"][0]["problem"].is_null());
    EXPECT_EQ(json["loads"][1]["problem"]["field"], "data size");
    EXPECT_EQ(json["loads"][1]["problem"]["offset"], 16 + 10 + 12);
    EXPECT_EQ(json["loads"][2]["problem"]["what"], "cannot open file");
    EXPECT_EQ(json["slotCount"], 0);  // the last load could not open its file
    EXPECT_TRUE(json["slots"].empty());

    EXPECT_EQ(inspect("archive").status, 2);
}

TEST_F(InspectArchive, DecodesWhatTheViewerWouldUpload) {
    const fs::path archive = sample();
    ASSERT_EQ(inspect("decode " + quoted(archive) + " 1 -o " + quoted(dir / "eyes.rgba")).status, 0);
    const std::string raw = readText(dir / "eyes.rgba");
    ASSERT_EQ(raw.size(), 64u);
    // Pixel k: palette entry k % 4 of red and blue, alpha 17 * nibble.
    EXPECT_EQ(Bytes(raw.begin(), raw.begin() + 16),
              (Bytes{0xFF, 0, 0, 0, 0, 0, 0xFF, 85, 0xAA, 0, 0x55, 170, 0x55, 0, 0xAA, 255}));

    // The PNG holds the same width x height pixels as the raw output.
    ASSERT_EQ(inspect("decode " + quoted(archive) + " 0 -o " + quoted(dir / "face.png")).status, 0);
    ASSERT_EQ(inspect("decode " + quoted(archive) + " 0 -o " + quoted(dir / "face.rgba")).status, 0);
    int w = 0, h = 0, n = 0;
    stbi_uc* png = stbi_load((dir / "face.png").string().c_str(), &w, &h, &n, 4);
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 3);
    const std::string faceRaw = readText(dir / "face.rgba");
    ASSERT_EQ(faceRaw.size(), 5u * 3 * 4);
    EXPECT_EQ(Bytes(png, png + faceRaw.size()), Bytes(faceRaw.begin(), faceRaw.end()));
    stbi_image_free(png);
}

TEST_F(InspectArchive, RefusesSlotsThatCannotBeDecoded) {
    const fs::path archive = sample();
    Outcome run = inspect("decode " + quoted(archive) + " 2 -o " + quoted(dir / "x.png"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("neither DXT1"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir / "x.png"));
    run = inspect("decode " + quoted(archive) + " 3 -o " + quoted(dir / "x.png"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("out of range"), std::string::npos) << run.err;
    EXPECT_EQ(inspect("decode " + quoted(archive) + " 0 -o " + quoted(dir / "x.bmp")).status, 2);

    // Too large for the legacy buffer, fine for the current one.
    const fs::path large = dir / "large.fsh";
    test::writeFile(large, test::buildFsh({{{"big", 352, 2048, 1024, Bytes(2048 * 1024 / 2, 0), {}, {}}}, {}}));
    run = inspect("decode --legacy " + quoted(large) + " 0 -o " + quoted(dir / "big.rgba"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("too large"), std::string::npos) << run.err;
    EXPECT_EQ(inspect("decode " + quoted(large) + " 0 -o " + quoted(dir / "big.rgba")).status, 0);
    EXPECT_EQ(fs::file_size(dir / "big.rgba"), 2048u * 1024 * 4);
}

TEST_F(InspectArchive, ExportsEveryDecodableImageUnderASafeName) {
    const Outcome run = inspect("export " + quoted(sample()) + " " + quoted(dir / "png"));
    EXPECT_EQ(run.status, 1);  // slot 2 is skipped
    EXPECT_NE(run.err.find("skipped slot 2"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(dir / "png" / "00-face.png"));
    EXPECT_TRUE(fs::exists(dir / "png" / "01-_yes.png"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "png"), fs::directory_iterator()), 2);

    const fs::path clean = dir / "clean.fsh";
    test::writeFile(clean, test::buildFsh({{{"..", 352, 4, 4, Bytes(8, 0), {}, {}}}, {}}));
    EXPECT_EQ(inspect("export " + quoted(clean) + " " + quoted(dir / "clean")).status, 0);
    EXPECT_TRUE(fs::exists(dir / "clean" / "00-_..png"));
}

}  // namespace
}  // namespace kelvane
