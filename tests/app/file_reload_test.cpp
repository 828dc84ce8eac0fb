// Following files on disk: when a change is taken, and what a reload keeps
// or, failing, leaves alone.
#include "app/file_reload.h"

#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/menus.h"
#include "app_test_support.h"
#include "tests/builders/test_files.h"
#include "writers/ebo_writer.h"
#include "writers/file_writer.h"

namespace kelvane {
namespace {

using namespace apptest;
using namespace std::chrono_literals;

std::vector<std::uint8_t> modelOf(const std::vector<std::string>& names, Generation generation = Generation::Current) {
    std::vector<writers::EboObject> objects;
    for (std::size_t i = 0; i < names.size(); ++i) objects.push_back(test::quadObject(names[i], float(i)));
    return writers::makeEbo(objects, generation);
}

TEST(FileFollower, TakesAChangeOnceTheFileHasLookedTheSameOnTwoChecks) {
    const auto path = scratchDir() / "head.ebo";
    writers::writeFile(path, {1, 2, 3});
    FileFollower follower;
    const auto t0 = FileFollower::Clock::now();
    follower.follow(path, FileKind::Ebo, t0);
    EXPECT_EQ(follower.untilNextCheck(t0), FileFollower::kCheckInterval);
    const auto at = [&](int checks) { return follower.changesAt(t0 + checks * FileFollower::kCheckInterval); };

    EXPECT_TRUE(at(1).empty());  // unchanged
    writers::writeFile(path, {1, 2, 3, 4});
    EXPECT_TRUE(at(2).empty());  // being written, perhaps
    writers::writeFile(path, {1, 2, 3, 4, 5});
    EXPECT_TRUE(at(3).empty());  // still moving
    EXPECT_TRUE(follower.changesAt(t0 + 3 * FileFollower::kCheckInterval + 100ms).empty());  // no check due
    const auto changes = at(4);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].path, path);
    EXPECT_EQ(changes[0].kind, FileKind::Ebo);
    EXPECT_TRUE(at(5).empty());  // taken once

    FileFollower off;
    off.enabled = false;
    off.follow(path, FileKind::Ebo, t0);
    EXPECT_EQ(off.untilNextCheck(t0), std::nullopt);
    EXPECT_EQ(FileFollower().untilNextCheck(t0), std::nullopt);  // nothing followed: no reason to wake
}

struct ReloadHarness : ViewerHarness {
    explicit ReloadHarness(Generation generation) : ViewerHarness(generation) {}
    std::filesystem::path dir = scratchDir();
};

constexpr std::array<double, 9> kTurned{3, -4, 7, 9, 0.9, 30, -60, 11, 12};
void turn(ViewState& v) { v = {3, -4, 7, 9, 0.9, 30, -60, 11, 12}; }

TEST(Reload, ModelKeepsTheViewAndObjectStatesWhileTheObjectCountHolds) {
    ReloadHarness h(Generation::Current);
    const auto model = h.dir / "head.ebo";
    writers::writeFile(model, modelOf({"head", "eyes"}));
    ASSERT_TRUE(openFile(h.viewer, model));
    h.command(cmd::FirstObject + 1);  // eyes shown too
    h.command(cmd::Light);            // light off
    turn(h.viewer.view);

    writers::writeFile(model, modelOf({"face", "lids"}));
    EXPECT_TRUE(reloadFile(h.viewer, FileKind::Ebo, model));
    EXPECT_EQ(fields(h.viewer.view), kTurned);
    EXPECT_EQ(h.labels("<EBO>"), (Labels{"00 <face>", "01 <lids>", "Select All", "Deselect All", "Light"}));
    EXPECT_EQ(h.checkedIds("<EBO>"), (Ids{1010, 1011}));
    EXPECT_EQ(h.window.title(), "head.ebo - Kelvane v0.7");

    // Another object count: the objects show as a load shows them; the view stays.
    writers::writeFile(model, modelOf({"face", "lids", "hair"}));
    EXPECT_TRUE(reloadFile(h.viewer, FileKind::Ebo, model));
    EXPECT_EQ(fields(h.viewer.view), kTurned);
    EXPECT_EQ(h.checkedIds("<EBO>"), (Ids{1010, 1052}));
}

TEST(Reload, ArchiveKeepsTheChosenImageOrBlankWhereThatSlotStillExists) {
    struct Case {
        Generation generation;
        int chosen;  // menu item index; the slot count is "Blank" (current generation)
        Labels before, after;
        int expectedSlot;
    };
    for (const auto& c : {Case{Generation::Current, 2, {"a", "b", "c"}, {"x", "y", "z"}, 2},
                          Case{Generation::Current, 2, {"a", "b", "c"}, {"x", "y"}, 0},
                          Case{Generation::Current, 3, {"a", "b", "c"}, {"x", "y"}, 2},  // Blank stays Blank
                          Case{Generation::Legacy, 1, {"a", "b"}, {"x", "y", "z"}, 1}}) {
        ReloadHarness h(c.generation);
        const auto archive = h.dir / "faces.fsh";
        TextureStore scratch(c.generation);
        writeArchive(archive, c.before, scratch);
        ASSERT_TRUE(openFile(h.viewer, archive));
        h.command(cmd::FirstTexture + c.chosen);
        turn(h.viewer.view);

        writeArchive(archive, c.after, scratch);
        EXPECT_TRUE(reloadFile(h.viewer, FileKind::Fsh, archive));
        EXPECT_EQ(h.viewer.textures.currentSlot, static_cast<std::uint32_t>(c.expectedSlot)) << c.after.size();
        EXPECT_EQ(h.checkedIds("<FSH>"), (Ids{1030 + c.expectedSlot}));
        EXPECT_EQ(h.viewer.textures.slotCount, c.after.size());
        EXPECT_EQ(fields(h.viewer.view), kTurned);
    }
}

// Cut short, or more than this generation takes: the stores, menu and
// picture stay as they were, the title and standard error say why, and the
// next good version is taken.
TEST(Reload, AFileThatDoesNotReadCleanlyChangesNothingButTheTitle) {
    ReloadHarness h(Generation::Current);
    const auto model = h.dir / "head.ebo";
    const auto archive = h.dir / "faces.fsh";
    writers::writeFile(model, modelOf({"head", "eyes"}));
    writeArchive(archive, {"a", "b"}, h.viewer.textures);
    openFile(h.viewer, model);
    openFile(h.viewer, archive);
    h.command(cmd::FirstTexture + 1);
    const std::size_t bars = h.platform.menuBars.size();
    const platform::MenuBar shown = h.platform.shownMenuBar();
    EXPECT_EQ(h.window.title(), "head.ebo, faces.fsh - Kelvane v0.7");

    const auto whole = modelOf({"head", "eyes"});
    writers::writeFile(model, std::vector<std::uint8_t>(whole.begin(), whole.begin() + 60));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(reloadFile(h.viewer, FileKind::Ebo, model));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(h.viewer.scene.objectCount, 2);
    EXPECT_EQ(h.viewer.scene.names[1], "eyes");
    const std::string title = h.window.title(), suffix = " - Kelvane v0.7";
    ASSERT_EQ(title.rfind("head.ebo: ", 0), 0u) << title;
    const std::string reason = title.substr(10, title.size() - 10 - suffix.size());
    const std::u8string shownPath = model.u8string();
    EXPECT_EQ(err, "kelvane: " + std::string(shownPath.begin(), shownPath.end()) + ": " + reason + "\n");

    // Twenty images are one more than this generation's store takes, and as
    // many as the earlier one's: the reason says so.
    TextureStore scratch(Generation::Current);
    writeArchive(archive, Labels(20, "x"), scratch);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(reloadFile(h.viewer, FileKind::Fsh, archive));
    EXPECT_TRUE(testing::internal::GetCapturedStderr().ends_with("; looks like a file for kelvane-legacy\n"));
    EXPECT_TRUE(h.window.title().ends_with("; looks like a file for kelvane-legacy" + suffix)) << h.window.title();

    writers::writeFile(archive, std::vector<std::uint8_t>(10, 0));  // shorter than the header
    testing::internal::CaptureStderr();
    EXPECT_FALSE(reloadFile(h.viewer, FileKind::Fsh, archive));
    EXPECT_EQ(testing::internal::GetCapturedStderr().find("looks like"), std::string::npos);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(reloadFile(h.viewer, FileKind::Bmp, h.dir / "picture.bmp"));  // the platform cannot read it
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(h.viewer.textures.slotCount, 2u);
    EXPECT_EQ(h.viewer.textures.currentSlot, 1u);
    EXPECT_EQ(h.platform.menuBars.size(), bars);
    EXPECT_EQ(h.platform.shownMenuBar(), shown);

    // A picture too large to import is refused like one that cannot be read;
    // one that fits replaces the archive, as "Load BMP" does.
    const auto picture = h.dir / "picture.bmp";
    h.platform.bitmaps[picture] = makeBitmap(1025, 2);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(reloadFile(h.viewer, FileKind::Bmp, picture));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("1024"), std::string::npos);
    EXPECT_EQ(h.viewer.textures.slotCount, 2u);
    h.platform.bitmaps[picture] = makeBitmap(3, 2);
    EXPECT_TRUE(reloadFile(h.viewer, FileKind::Bmp, picture));
    EXPECT_EQ(h.viewer.textures.slotCount, 0u);
    EXPECT_EQ(h.viewer.textures.width[0], 3u);
    EXPECT_FALSE(h.menu("<FSH>"));

    writers::writeFile(model, modelOf({"new"}));
    EXPECT_TRUE(reloadFile(h.viewer, FileKind::Ebo, model));
    EXPECT_EQ(h.labels("<EBO>"), (Labels{"00 <new>", "Light"}));
    EXPECT_EQ(h.window.title(), "head.ebo, picture.bmp - Kelvane v0.7");
}

}  // namespace
}  // namespace kelvane
