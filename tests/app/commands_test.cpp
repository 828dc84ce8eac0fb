#include "app/commands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/menus.h"
#include "app_test_support.h"

namespace kelvane {
namespace {

using namespace apptest;
constexpr auto C = Generation::Current, L = Generation::Legacy;

// Opens an archive of three images, then shows image `chosen` if not 0.
void openFaces(ViewerHarness& h, int chosen = 0) {
    const auto path = scratchDir() / "faces.fsh";
    writeArchive(path, {"face", "eyes", "hair"});
    ASSERT_TRUE(openFile(h.viewer, path));
    if (chosen) h.command(cmd::FirstTexture + chosen);
}

// Each object and image item does what it says, as the menus then show it,
// and no item moves the view. From three objects (object 0 shown, Light on)
// and an archive of three just loaded: the current generation marks image 0
// alone, clearing an earlier Blank, and lists Blank last; the earlier one
// leaves the marks to the reader (none here) and has no Light and no Blank.
TEST(ItemCommands, ObjectLightImageAndBlankItemsMoveTheirCheckMarks) {
    // Commands, then the object and image marks, the slot shown and how many menu bars were set.
    using Case = std::tuple<const char*, Generation, Ids, Ids, Ids, std::uint32_t, std::size_t>;
    for (const auto& [what, generation, commands, objects, images, shown, bars] : std::vector<Case>{
             {"one object on, one off", C, {1011, 1010}, {1011, cmd::Light}, {1030}, 0, 2},
             {"Select All", C, {cmd::SelectAll}, {1010, 1011, 1012, cmd::Light}, {1030}, 0, 1},
             {"Deselect All", L, {cmd::SelectAll, cmd::DeselectAll}, {}, {}, 0, 2},
             {"Light off", C, {cmd::Light}, {1010}, {1030}, 0, 1},
             {"Light off and on", C, {cmd::Light, cmd::Light}, {1010, cmd::Light}, {1030}, 0, 2},
             {"no Light, no Blank", L, {cmd::Light, 1033}, {1010}, {}, 0, 0},
             {"image 2, then 1", L, {1032, 1031}, {1010}, {1031}, 1, 2},
             {"image 2, then Blank", C, {1032, 1033}, {1010, cmd::Light}, {1033}, 3, 2},
             {"Blank, then image 1", C, {1033, 1031}, {1010, cmd::Light}, {1031}, 1, 2},
             {"past Blank", C, {1034}, {1010, cmd::Light}, {1030}, 0, 0}}) {
        SCOPED_TRACE(std::string(what) + (generation == C ? ", current" : ", legacy"));
        ViewerHarness h(generation);
        presetModel(h.viewer.scene, 3, true);
        h.viewer.textures.checked[3] = 1;  // Blank, chosen in an earlier archive
        turn(h.viewer.view);
        openFaces(h);
        const std::size_t barsBefore = h.platform.menuBars.size();
        for (int id : commands) EXPECT_EQ(h.command(id), 1);
        EXPECT_EQ(std::tuple(h.checkedIds("<EBO>"), h.checkedIds("<FSH>"), h.viewer.textures.currentSlot),
                  std::tuple(objects, images, shown));
        EXPECT_EQ(h.platform.menuBars.size() - barsBefore, bars);
        EXPECT_EQ(h.viewer.scene.lightingOn, generation == L || std::ranges::count(objects, cmd::Light));
        EXPECT_EQ(std::pair(fields(h.viewer.view), h.viewer.scene.visible[3]), std::pair(kTurned, std::uint8_t{0}));
    }
    ViewerHarness empty(C);  // with no archive, image 0 is no item (nor Blank)
    empty.command(1030);
    EXPECT_EQ(std::pair(empty.viewer.textures.checked[0], empty.platform.menuBars.size()), std::pair(0u, std::size_t{0}));
}

// A cancel keeps the last path; a chosen picture that cannot be read still
// becomes it, as does a file opened from the command line or dropped. Only
// the low 16 bits of a command are its id.
TEST(LoadCommands, DialogsOpenOnTheLastChosenPath) {
    ViewerHarness h(C);
    EXPECT_EQ(h.load(cmd::LoadEbo, "/models/a.ebo"), 1);
    EXPECT_EQ(h.command(cmd::LoadFsh + 0x10000), 1);
    EXPECT_EQ(h.load(cmd::LoadBmp, "/pictures/b.bmp"), 0);
    EXPECT_EQ(h.command(cmd::LoadEbo), 1);
    testing::internal::CaptureStderr();
    openFile(h.viewer, "/dropped/c.fsh");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(h.command(cmd::LoadEbo), 1);
    std::vector<std::filesystem::path> starts;
    for (const auto& request : h.platform.dialogRequests) starts.push_back(request.initialPath);
    EXPECT_EQ(starts, (std::vector<std::filesystem::path>{"", "/models/a.ebo", "/models/a.ebo", "/pictures/b.bmp",
                                                          "/dropped/c.fsh"}));
    EXPECT_EQ(h.platform.bitmapRequests, (std::vector<std::filesystem::path>{"/pictures/b.bmp"}));
}

// The current generation faces the model unturned but keeps the drag anchor
// (the next draw refits); the earlier one resets only the zoom. A model of
// one object lists no Select All; any non-zero flag is a check mark.
TEST(LoadCommands, LoadEboResetsTheViewTheWayEachGenerationDoes) {
    using Items = std::vector<platform::MenuItem>;
    for (auto [generation, objects, view, items] :
         {std::tuple{C, 1, View{0, 0, 0, 9, 0.9, 0, 0, 11, 12}, Items{{1010, "00 <SCRATCH>", true}}},
          std::tuple{L, 2, View{3, -4, -10, 9, 0.9, 30, -60, 11, 12}, Items{{1010, "Object:00", true},
                     {1011, "Object:01", true}, {cmd::SelectAll, "Select All"}, {cmd::DeselectAll, "Deselect All"}}}}) {
        ViewerHarness h(generation);
        presetModel(h.viewer.scene, objects, false);
        h.viewer.scene.visible[objects - 1] = 7;
        turn(h.viewer.view);
        EXPECT_EQ(h.load(cmd::LoadEbo, scratchDir() / "missing.ebo"), 1);
        EXPECT_EQ(fields(h.viewer.view), view);
        EXPECT_EQ(h.items("<EBO>"), items);
    }
}

// Pictures up to 1024 x 1024 replace the archive. The current generation
// moves the marks to slot 0 before the picture is read, the earlier one only
// unchecks the shown slot of an archive; the picture shown does not change: a
// larger picture is dropped after that; one that cannot be read, or whose
// rows are cut short, fails the command and the menu catches up on the next
// one. The view stays.
TEST(LoadBmp, OnlyCompletePicturesUpToTheLimitReplaceTheArchive) {
    auto shortRows = makeBitmap(5, 4);
    shortRows.bottomUpBgrRows.pop_back();
    for (const auto& [generation, bitmap, result, imported] :
         {std::tuple{C, platform::Bitmap{}, 0, false}, std::tuple{C, shortRows, 0, false},
          std::tuple{C, makeBitmap(1025, 1), 1, false}, std::tuple{C, makeBitmap(1, 1025), 1, false},
          std::tuple{C, makeBitmap(2, 2), 1, true}, std::tuple{C, makeBitmap(1024, 1024), 1, true},
          std::tuple{L, platform::Bitmap{}, 0, false}, std::tuple{L, makeBitmap(2, 2), 1, true}}) {
        ViewerHarness h(generation);
        openFaces(h, 2);
        h.platform.menuBars.clear();
        turn(h.viewer.view);
        if (bitmap.width) h.platform.bitmaps["/p/pic.bmp"] = bitmap;  // else unreadable
        EXPECT_EQ(h.load(cmd::LoadBmp, "/p/pic.bmp"), result);
        EXPECT_EQ(fields(h.viewer.view), kTurned);
        EXPECT_EQ(h.platform.menuBars.empty(), result == 0);
        h.command(cmd::About);
        const auto& store = h.viewer.textures;
        EXPECT_EQ(std::tuple(store.slotCount, store.currentSlot, store.width[0], store.height[0]),
                  imported ? std::tuple(0u, 0u, bitmap.width, bitmap.height) : std::tuple(3u, 2u, 8u, 8u));
        EXPECT_EQ(h.checkedIds("<FSH>"), imported || generation == L ? Ids{} : Ids{1030});
    }
    ViewerHarness legacy(L);  // no archive: nothing to uncheck, no menu to rebuild
    EXPECT_EQ(legacy.load(cmd::LoadBmp, "/nowhere/x.bmp"), 0);
    EXPECT_FALSE(legacy.viewer.menuRebuildPending);
}

}  // namespace
}  // namespace kelvane
