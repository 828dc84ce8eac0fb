// File > Export Images... through the fake platform's folder dialog.
#include "app/export_commands.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "app/menus.h"
#include "app_test_support.h"
#include "tests/builders/test_files.h"
#include "writers/dxt_encoder.h"

namespace kelvane {
namespace {

using namespace apptest;

std::set<std::string> filesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

// Every decodable image as NN-name.png, leaving the image shown as it was;
// one that cannot be decoded is named in the title. A picture goes out as
// one PNG named as its file; a folder that cannot be written says so.
TEST(ExportImages, WritesTheArchiveImagesOrThePictureAndSaysWhatFailed) {
    ViewerHarness h(Generation::Current);
    const auto dir = scratchDir();
    writers::FshArchive archive;
    archive.images.push_back({"skin", 352, 4, 4, writers::encodeDxt1(4, 4, std::vector<std::uint8_t>(64, 90)), {}, {}});
    archive.images.push_back({"odd", 0x7D, 4, 4, {}, {}, {}});
    archive.images.push_back({"eyes", 353, 4, 4, writers::encodeDxt3(4, 4, std::vector<std::uint8_t>(64, 30)), {}, {}});
    writers::writeFile(dir / "face.fsh", writers::buildFsh(archive));
    ASSERT_TRUE(openFile(h.viewer, dir / "face.fsh"));
    h.command(cmd::FirstTexture + 2);
    testing::internal::CaptureStderr();
    h.load(cmd::ExportImages, dir / "out");
    EXPECT_EQ(filesIn(dir / "out"), (std::set<std::string>{"00-skin.png", "02-eyes.png"}));
    EXPECT_EQ(h.viewer.textures.currentSlot, 2u);
    EXPECT_NE(h.window.title().find("face.fsh: skipped slot 1 (format 125"), std::string::npos) << h.window.title();

    h.platform.bitmaps[dir / "pic.bmp"] = makeBitmap(3, 2);
    writers::writeFile(dir / "pic.bmp", {1});
    ASSERT_TRUE(openFile(h.viewer, dir / "pic.bmp"));
    h.load(cmd::ExportImages, dir / "pictures");
    EXPECT_EQ(filesIn(dir / "pictures"), std::set<std::string>{"pic.png"});
    writers::writeFile(dir / "file", {1});
    h.load(cmd::ExportImages, dir / "file");
    EXPECT_EQ(h.window.title().rfind("pic.png: cannot write", 0), 0u) << h.window.title();
    testing::internal::GetCapturedStderr();
}

// Export glTF proposes <model>.glb beside the model and writes a binary
// glTF there (its content is checked by the validator end to end).
TEST(ExportGltf, WritesWhereTheDialogSaysAndProposesTheModelsName) {
    ViewerHarness h(Generation::Current);
    const auto dir = scratchDir();
    writers::writeFile(dir / "face.ebo", writers::makeEbo({test::quadObject("head")}, Generation::Current));
    ASSERT_TRUE(openFile(h.viewer, dir / "face.ebo"));
    h.load(cmd::ExportGltf, dir / "out.glb");
    EXPECT_EQ(h.platform.dialogRequests.back().initialPath, dir / "face.glb");
    std::ifstream in(dir / "out.glb", std::ios::binary);
    char magic[4] = {};
    in.read(magic, 4);
    EXPECT_EQ(std::string(magic, 4), "glTF");
}

}  // namespace
}  // namespace kelvane
