#include "app/commands.h"

#include <gtest/gtest.h>

#include "app/menus.h"
#include "app_test_support.h"

namespace kelvane {
namespace {

using apptest::makeBitmap;
using apptest::presetModel;
using apptest::scratchDir;
using apptest::ViewerHarness;
using apptest::writeArchive;
using Labels = std::vector<std::string>;

void turnAndShift(ViewState& view) {
    view.panX = 3;
    view.panY = -4;
    view.zoom = 7;
    view.pitch = 30;
    view.yaw = -60;
    view.anchorX = 11;
    view.anchorY = 12;
    view.fitDistance = 9;
    view.step = 0.9;
}

// A model as both a placeholder reader and a real one leave it after a file
// that gives no names and no normals.
void presetPlainModel(Viewer& viewer, int count) { presetModel(viewer.scene, count, false); }

TEST(LoadCommands, DialogsAskForTheirKindAndOpenOnTheLastChosenPath) {
    ViewerHarness h(Generation::Current);
    presetPlainModel(h.viewer, 1);
    EXPECT_EQ(h.load(cmd::LoadEbo, "/models/a.ebo"), 1);
    EXPECT_EQ(h.command(cmd::LoadFsh), 1);  // cancelled
    EXPECT_EQ(h.command(cmd::LoadBmp), 1);  // cancelled
    h.platform.dialogAnswers.push_back(std::filesystem::path("/pictures/b.bmp"));
    EXPECT_EQ(h.command(cmd::LoadBmp), 0);  // not a bitmap the platform can load
    EXPECT_EQ(h.command(cmd::LoadEbo), 1);  // cancelled

    const auto& asked = h.platform.dialogRequests;
    ASSERT_EQ(asked.size(), 5u);
    EXPECT_EQ(asked[0].title, "Open EBO");
    EXPECT_EQ(asked[0].filterName, "EBO File");
    EXPECT_EQ(asked[0].pattern, "*.EBO");
    EXPECT_EQ(asked[0].defaultExtension, "*.EBO");
    EXPECT_EQ(asked[0].initialPath, "");
    EXPECT_EQ(asked[1].title, "Open FSH");
    EXPECT_EQ(asked[1].filterName, "FSH File");
    EXPECT_EQ(asked[1].pattern, "*.FSH");
    EXPECT_EQ(asked[2].title, "Open BMP");
    EXPECT_EQ(asked[2].defaultExtension, "*.BMP");
    EXPECT_EQ(asked[1].initialPath, "/models/a.ebo");
    EXPECT_EQ(asked[2].initialPath, "/models/a.ebo");  // a cancel keeps the path
    EXPECT_EQ(asked[3].initialPath, "/models/a.ebo");
    EXPECT_EQ(asked[4].initialPath, "/pictures/b.bmp");  // chosen, even though unreadable
    EXPECT_EQ(h.platform.bitmapRequests, (std::vector<std::filesystem::path>{"/pictures/b.bmp"}));
}

TEST(LoadCommands, CancelledDialogsChangeNothing) {
    for (auto generation : {Generation::Current, Generation::Legacy}) {
        ViewerHarness h(generation);
        presetPlainModel(h.viewer, 2);
        h.viewer.textures.slotCount = 2;
        h.viewer.textures.checked[1] = 1;
        h.viewer.textures.currentSlot = 1;
        turnAndShift(h.viewer.view);
        const ViewState before = h.viewer.view;
        for (int id : {cmd::LoadEbo, cmd::LoadFsh, cmd::LoadBmp}) EXPECT_EQ(h.command(id), 1);
        EXPECT_EQ(h.platform.dialogRequests.size(), 3u);
        EXPECT_TRUE(h.platform.menuBars.empty());
        EXPECT_TRUE(h.platform.bitmapRequests.empty());
        EXPECT_FALSE(h.viewer.menuRebuildPending);
        EXPECT_EQ(h.viewer.view.zoom, before.zoom);
        EXPECT_EQ(h.viewer.view.pitch, before.pitch);
        EXPECT_EQ(h.viewer.textures.checked[1], 1u);
        EXPECT_EQ(h.viewer.textures.checked[0], 0u);
        EXPECT_EQ(h.viewer.textures.currentSlot, 1u);
    }
}

TEST(LoadCommands, LoadEboResetsTheViewButKeepsTheAnchor) {
    ViewerHarness h(Generation::Current);
    presetPlainModel(h.viewer, 1);
    turnAndShift(h.viewer.view);
    EXPECT_EQ(h.load(cmd::LoadEbo, scratchDir() / "missing.ebo"), 1);
    const ViewState& view = h.viewer.view;
    EXPECT_EQ(view.panX, 0);
    EXPECT_EQ(view.panY, 0);
    EXPECT_EQ(view.zoom, 0);
    EXPECT_EQ(view.pitch, 0);
    EXPECT_EQ(view.yaw, 0);
    EXPECT_EQ(view.anchorX, 11);
    EXPECT_EQ(view.anchorY, 12);
    EXPECT_EQ(view.fitDistance, 9);  // the next draw fits it
    ASSERT_EQ(h.platform.menuBars.size(), 1u);
    EXPECT_EQ(h.labels("<EBO>"), (Labels{"00 <SCRATCH>"}));
    EXPECT_FALSE(h.menu("<FSH>"));
}

TEST(LoadCommands, LegacyLoadEboResetsOnlyTheZoom) {
    ViewerHarness h(Generation::Legacy);
    presetPlainModel(h.viewer, 2);
    turnAndShift(h.viewer.view);
    EXPECT_EQ(h.load(cmd::LoadEbo, scratchDir() / "missing.ebo"), 1);
    EXPECT_EQ(h.viewer.view.zoom, -10);
    EXPECT_EQ(h.viewer.view.panX, 3);
    EXPECT_EQ(h.viewer.view.pitch, 30);
    EXPECT_EQ(h.viewer.view.yaw, -60);
    EXPECT_EQ(h.labels("<EBO>"), (Labels{"Object:00", "Object:01", "Select All", "Deselect All"}));
}

TEST(LoadCommands, LoadFshChecksSlotZeroAndListsBlankLastLeavingTheView) {
    ViewerHarness h(Generation::Current);
    const auto path = scratchDir() / "faces.fsh";
    h.viewer.textures.checked[3] = 1;  // "Blank" was chosen from an earlier archive
    h.viewer.textures.currentSlot = 3;
    writeArchive(path, {"face", "eyes", "hair"}, h.viewer.textures);
    turnAndShift(h.viewer.view);
    EXPECT_EQ(h.load(cmd::LoadFsh, path), 1);
    EXPECT_EQ(h.viewer.textures.currentSlot, 0u);
    EXPECT_EQ(h.labels("<FSH>"), (Labels{"00 <face>", "01 <eyes>", "02 <hair>", "Blank"}));
    EXPECT_EQ(h.checkedIds("<FSH>"), (std::vector<int>{1030}));
    EXPECT_EQ(h.platform.menuBars.size(), 2u);  // once by the load, once by the pending rebuild
    EXPECT_FALSE(h.viewer.menuRebuildPending);
    EXPECT_EQ(h.viewer.view.zoom, 7);
    EXPECT_EQ(h.viewer.view.yaw, -60);
}

TEST(LoadCommands, LegacyLoadFshLeavesTheMarksToTheReader) {
    ViewerHarness h(Generation::Legacy);
    const auto path = scratchDir() / "faces.fsh";
    writeArchive(path, {"face", "eyes"}, h.viewer.textures);
    EXPECT_EQ(h.load(cmd::LoadFsh, path), 1);
    EXPECT_EQ(h.labels("<FSH>"), (Labels{"00:face", "01:eyes"}));
    EXPECT_TRUE(h.checkedIds("<FSH>").empty());  // nothing decodable in this archive
    EXPECT_EQ(h.platform.menuBars.size(), 1u);
}

// Puts an archive of three images in place, slot 2 chosen.
void presetArchiveWithSlotTwoShown(ViewerHarness& h) {
    writeArchive(scratchDir() / "faces.fsh", {"face", "eyes", "hair"}, h.viewer.textures);
    h.viewer.textures.currentSlot = 2;
    h.viewer.textures.checked[2] = 1;
}

TEST(LoadBmp, UnreadablePictureReturnsZeroAndTheMenuCatchesUpNextCommand) {
    ViewerHarness h(Generation::Current);
    presetArchiveWithSlotTwoShown(h);
    turnAndShift(h.viewer.view);
    EXPECT_EQ(h.load(cmd::LoadBmp, "/nowhere/x.bmp"), 0);
    const auto& store = h.viewer.textures;
    EXPECT_EQ(store.checked[0], 1u);  // the marks moved already
    EXPECT_EQ(store.checked[2], 0u);
    EXPECT_EQ(store.currentSlot, 2u);  // the picture shown did not
    EXPECT_TRUE(h.platform.menuBars.empty());
    EXPECT_TRUE(h.viewer.menuRebuildPending);

    EXPECT_EQ(h.command(cmd::About), 1);
    EXPECT_FALSE(h.viewer.menuRebuildPending);
    EXPECT_EQ(h.checkedIds("<FSH>"), (std::vector<int>{1030}));
}

TEST(LoadBmp, PictureWithTooFewBytesForItsSizeIsNotImported) {
    ViewerHarness h(Generation::Current);
    presetArchiveWithSlotTwoShown(h);
    auto bitmap = makeBitmap(5, 4);
    bitmap.bottomUpBgrRows.pop_back();
    h.platform.bitmaps["/p/short.bmp"] = bitmap;
    EXPECT_EQ(h.load(cmd::LoadBmp, "/p/short.bmp"), 0);
    EXPECT_EQ(h.viewer.textures.slotCount, 3u);
    EXPECT_EQ(h.viewer.textures.width[0], 8u);
}

TEST(LoadBmp, PictureOverTheLimitIsDroppedAfterTheMarksMove) {
    for (auto [w, hgt] : {std::pair{1025u, 1u}, std::pair{1u, 1025u}}) {
        ViewerHarness h(Generation::Current);
        presetArchiveWithSlotTwoShown(h);
        h.platform.bitmaps["/p/big.bmp"] = makeBitmap(w, hgt);
        EXPECT_EQ(h.load(cmd::LoadBmp, "/p/big.bmp"), 1);
        const auto& store = h.viewer.textures;
        EXPECT_EQ(store.slotCount, 3u);  // nothing imported
        EXPECT_EQ(store.width[0], 8u);
        EXPECT_EQ(store.currentSlot, 2u);
        EXPECT_EQ(h.checkedIds("<FSH>"), (std::vector<int>{1030}));
        EXPECT_FALSE(h.viewer.menuRebuildPending);
    }
}

TEST(LoadBmp, PictureReplacesTheArchiveMenuAndLeavesTheView) {
    for (auto [w, hgt] : {std::pair{2u, 2u}, std::pair{1024u, 1024u}}) {
        ViewerHarness h(Generation::Current);
        presetArchiveWithSlotTwoShown(h);
        turnAndShift(h.viewer.view);
        h.platform.bitmaps["/p/pic.bmp"] = makeBitmap(w, hgt);
        EXPECT_EQ(h.load(cmd::LoadBmp, "/p/pic.bmp"), 1);
        if (h.viewer.textures.width[0] != w) GTEST_SKIP() << "the picture import is not in place yet";
        EXPECT_EQ(h.viewer.textures.slotCount, 0u);
        EXPECT_EQ(h.viewer.textures.currentSlot, 0u);
        EXPECT_EQ(h.viewer.textures.height[0], hgt);
        EXPECT_EQ(h.menuTitles(), (Labels{"File", "Help"}));
        EXPECT_EQ(h.viewer.view.zoom, 7);
        EXPECT_EQ(h.viewer.view.panX, 3);
    }
}

TEST(LoadBmp, LegacyOnlyUnchecksTheShownSlot) {
    ViewerHarness h(Generation::Legacy);
    presetArchiveWithSlotTwoShown(h);
    EXPECT_EQ(h.load(cmd::LoadBmp, "/nowhere/x.bmp"), 0);
    EXPECT_EQ(h.viewer.textures.checked[2], 0u);
    EXPECT_EQ(h.viewer.textures.checked[0], 0u);
    EXPECT_TRUE(h.viewer.menuRebuildPending);

    ViewerHarness empty(Generation::Legacy);
    EXPECT_EQ(empty.load(cmd::LoadBmp, "/nowhere/x.bmp"), 0);
    EXPECT_FALSE(empty.viewer.menuRebuildPending);  // no archive, no menu to change
}

TEST(ObjectCommands, ToggleSelectAllDeselectAllAndLight) {
    ViewerHarness h(Generation::Current);
    presetModel(h.viewer.scene, 3, true);
    EXPECT_EQ(h.command(1011), 1);
    EXPECT_EQ(h.checkedIds("<EBO>"), (std::vector<int>{1010, 1011, cmd::Light}));
    h.command(1011);
    EXPECT_EQ(h.checkedIds("<EBO>"), (std::vector<int>{1010, cmd::Light}));
    EXPECT_FALSE(h.viewer.menuRebuildPending);

    h.command(cmd::SelectAll);
    EXPECT_EQ(h.checkedIds("<EBO>"), (std::vector<int>{1010, 1011, 1012, cmd::Light}));
    h.command(cmd::DeselectAll);
    h.command(cmd::Light);
    EXPECT_TRUE(h.checkedIds("<EBO>").empty());
    EXPECT_EQ(h.viewer.scene.lightingOn, 0);
    EXPECT_EQ(h.viewer.scene.visible[3], 0);  // beyond the model: untouched
    h.command(cmd::Light);
    EXPECT_EQ(h.viewer.scene.lightingOn, 1);
}

TEST(ObjectCommands, LegacyHasNoLightCommand) {
    ViewerHarness h(Generation::Legacy);
    presetModel(h.viewer.scene, 2, false);
    EXPECT_EQ(h.command(cmd::Light), 1);
    EXPECT_EQ(h.viewer.scene.lightingOn, 0);
    EXPECT_TRUE(h.platform.menuBars.empty());
    h.command(1011);
    EXPECT_EQ(h.checkedIds("<EBO>"), (std::vector<int>{1010, 1011}));
}

TEST(TextureCommands, ChoosingAnImageOrBlankMovesTheSingleMark) {
    ViewerHarness h(Generation::Current);
    presetArchiveWithSlotTwoShown(h);
    h.command(1031);
    EXPECT_EQ(h.viewer.textures.currentSlot, 1u);
    EXPECT_EQ(h.checkedIds("<FSH>"), (std::vector<int>{1031}));
    h.command(1033);  // Blank
    EXPECT_EQ(h.viewer.textures.currentSlot, 3u);
    EXPECT_EQ(h.checkedIds("<FSH>"), (std::vector<int>{1033}));
    EXPECT_EQ(h.platform.menuBars.size(), 2u);
    h.command(1033);
    EXPECT_EQ(h.checkedIds("<FSH>"), (std::vector<int>{1033}));
    h.command(1034);  // beyond Blank: no item
    EXPECT_EQ(h.viewer.textures.currentSlot, 3u);
    EXPECT_EQ(h.platform.menuBars.size(), 3u);
}

TEST(TextureCommands, LegacyHasNoBlankItem) {
    ViewerHarness h(Generation::Legacy);
    presetArchiveWithSlotTwoShown(h);
    h.command(1033);
    EXPECT_EQ(h.viewer.textures.currentSlot, 2u);
    EXPECT_TRUE(h.platform.menuBars.empty());
    h.command(1030);
    EXPECT_EQ(h.checkedIds("<FSH>"), (std::vector<int>{1030}));
}

TEST(TextureCommands, NoBlankWithoutAnArchive) {
    ViewerHarness h(Generation::Current);
    h.viewer.textures.currentSlot = 0;
    h.command(1030);
    EXPECT_EQ(h.viewer.textures.checked[0], 0u);
    EXPECT_TRUE(h.platform.menuBars.empty());
}

// Counts and a shown slot beyond the stores' capacity never index past them
// (AddressSanitizer builds turn an overrun into a failure).
TEST(CommandBounds, IdsPastTheSlotsTouchNothing) {
    ViewerHarness h(Generation::Current);
    presetModel(h.viewer.scene, 200, false);
    h.viewer.textures.slotCount = 200;
    h.viewer.textures.currentSlot = 77;
    for (int id = 1006; id < 1100; ++id) h.command(id);
    EXPECT_EQ(h.viewer.textures.currentSlot, 19u);  // Blank of the 19 listed images
    EXPECT_EQ(h.viewer.textures.checked[19], 1u);
    h.command(cmd::LoadBmp + 0x10000);  // only the low 16 bits are the id
    EXPECT_EQ(h.platform.dialogRequests.size(), 1u);
    h.platform.bitmaps["/p/pic.bmp"] = makeBitmap(1, 1);
    h.load(cmd::LoadBmp, "/p/pic.bmp");

    ViewerHarness legacy(Generation::Legacy);
    legacy.viewer.textures.slotCount = 200;
    legacy.viewer.textures.currentSlot = 1000;
    legacy.command(1049);
    EXPECT_EQ(legacy.viewer.textures.currentSlot, 19u);
    legacy.viewer.textures.currentSlot = 1000;
    EXPECT_EQ(legacy.load(cmd::LoadBmp, "/nowhere.bmp"), 0);
}

TEST(WindowCommands, QuitDestroysAndAboutShowsTheBox) {
    for (auto generation : {Generation::Current, Generation::Legacy}) {
        ViewerHarness h(generation);
        EXPECT_EQ(h.command(cmd::About), 1);
        ASSERT_EQ(h.platform.messageBoxes.size(), 1u);
        EXPECT_EQ(h.platform.messageBoxes[0].caption, "Kelvane");
        EXPECT_NE(h.platform.messageBoxes[0].text.find("HOME : Reset X & Y"), std::string::npos);
        EXPECT_EQ(h.platform.destroyCalls, 0);
        EXPECT_EQ(h.command(cmd::Quit), 1);
        EXPECT_EQ(h.platform.destroyCalls, 1);
        EXPECT_TRUE(h.window.destroyed());
    }
}

}  // namespace
}  // namespace kelvane
