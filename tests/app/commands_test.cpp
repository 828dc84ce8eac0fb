#include "app/commands.h"

#include <gtest/gtest.h>

#include "app/menus.h"
#include "app_test_support.h"

namespace kelvane {
namespace {

using namespace apptest;
using View = std::array<double, 9>;  // see fields()

constexpr View kTurned{3, -4, 7, 9, 0.9, 30, -60, 11, 12};

void turnAndShift(ViewState& v) {
    v = {.panX = 3, .panY = -4, .zoom = 7, .fitDistance = 9, .step = 0.9, .pitch = 30, .yaw = -60, .anchorX = 11,
         .anchorY = 12};
}

// An archive of three images with slot 2 chosen.
void presetArchiveWithSlotTwoShown(ViewerHarness& h) {
    writeArchive(scratchDir() / "faces.fsh", {"face", "eyes", "hair"}, h.viewer.textures);
    h.viewer.textures.currentSlot = 2;
    h.viewer.textures.checked[2] = 1;
}

TEST(LoadCommands, DialogsAskForTheirKindAndOpenOnTheLastChosenPath) {
    ViewerHarness h(Generation::Current);
    presetModel(h.viewer.scene, 1, false);
    EXPECT_EQ(h.load(cmd::LoadEbo, "/models/a.ebo"), 1);
    EXPECT_EQ(h.command(cmd::LoadFsh), 1);  // cancelled
    EXPECT_EQ(h.command(cmd::LoadBmp), 1);  // cancelled
    EXPECT_EQ(h.load(cmd::LoadBmp, "/pictures/b.bmp"), 0);  // not a bitmap the platform can load
    EXPECT_EQ(h.command(cmd::LoadEbo), 1);  // cancelled

    const auto& asked = h.platform.dialogRequests;
    ASSERT_EQ(asked.size(), 5u);
    auto request = [&](int i) {
        const auto& r = asked[i];
        return Labels{r.title, r.filterName, r.pattern, r.defaultExtension, r.initialPath.string()};
    };
    EXPECT_EQ(request(0), (Labels{"Open EBO", "EBO File", "*.EBO", "*.EBO", ""}));
    EXPECT_EQ(request(1), (Labels{"Open FSH", "FSH File", "*.FSH", "*.FSH", "/models/a.ebo"}));
    EXPECT_EQ(request(2), (Labels{"Open BMP", "BMP File", "*.BMP", "*.BMP", "/models/a.ebo"}));  // a cancel keeps it
    EXPECT_EQ(asked[3].initialPath, "/models/a.ebo");
    EXPECT_EQ(asked[4].initialPath, "/pictures/b.bmp");  // chosen, even though unreadable
    EXPECT_EQ(h.platform.bitmapRequests, (std::vector<std::filesystem::path>{"/pictures/b.bmp"}));
}

TEST(LoadCommands, LoadEboResetsTheViewTheWayEachGenerationDoes) {
    // The current one faces the model unturned but keeps the drag anchor (the
    // next draw refits); the earlier one resets only the zoom.
    for (auto [generation, objects, view, labels] :
         {std::tuple{Generation::Current, 1, View{0, 0, 0, 9, 0.9, 0, 0, 11, 12}, Labels{"00 <SCRATCH>"}},
          std::tuple{Generation::Legacy, 2, View{3, -4, -10, 9, 0.9, 30, -60, 11, 12},
                     Labels{"Object:00", "Object:01", "Select All", "Deselect All"}}}) {
        ViewerHarness h(generation);
        presetModel(h.viewer.scene, objects, false);
        turnAndShift(h.viewer.view);
        EXPECT_EQ(h.load(cmd::LoadEbo, scratchDir() / "missing.ebo"), 1);
        EXPECT_EQ(fields(h.viewer.view), view);
        ASSERT_EQ(h.platform.menuBars.size(), 1u);
        EXPECT_EQ(h.labels("<EBO>"), labels);
        EXPECT_FALSE(h.menu("<FSH>"));
    }
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
    EXPECT_EQ(h.checkedIds("<FSH>"), (Ids{1030}));
    EXPECT_EQ(h.platform.menuBars.size(), 2u);  // once by the load, once by the pending rebuild
    EXPECT_FALSE(h.viewer.menuRebuildPending);
    EXPECT_EQ(fields(h.viewer.view), kTurned);

    // The earlier generation leaves the marks to the reader: none here.
    ViewerHarness legacy(Generation::Legacy);
    writeArchive(path, {"face", "eyes"}, legacy.viewer.textures);
    EXPECT_EQ(legacy.load(cmd::LoadFsh, path), 1);
    EXPECT_EQ(legacy.labels("<FSH>"), (Labels{"00:face", "01:eyes"}));
    EXPECT_TRUE(legacy.checkedIds("<FSH>").empty());
    EXPECT_EQ(legacy.platform.menuBars.size(), 1u);
}

TEST(LoadBmp, UnreadablePictureReturnsZeroAndTheMenuCatchesUpNextCommand) {
    ViewerHarness h(Generation::Current);
    presetArchiveWithSlotTwoShown(h);
    EXPECT_EQ(h.load(cmd::LoadBmp, "/nowhere/x.bmp"), 0);
    const auto& store = h.viewer.textures;
    EXPECT_EQ(store.checked[0], 1u);  // the marks moved already
    EXPECT_EQ(store.checked[2], 0u);
    EXPECT_EQ(store.currentSlot, 2u);  // the picture shown did not
    EXPECT_TRUE(h.platform.menuBars.empty());
    EXPECT_TRUE(h.viewer.menuRebuildPending);
    EXPECT_EQ(h.command(cmd::About), 1);
    EXPECT_FALSE(h.viewer.menuRebuildPending);
    EXPECT_EQ(h.checkedIds("<FSH>"), (Ids{1030}));

    // The earlier generation only unchecks the shown slot, and only with an archive.
    ViewerHarness legacy(Generation::Legacy);
    EXPECT_EQ(legacy.load(cmd::LoadBmp, "/nowhere/x.bmp"), 0);
    EXPECT_FALSE(legacy.viewer.menuRebuildPending);
    presetArchiveWithSlotTwoShown(legacy);
    EXPECT_EQ(legacy.load(cmd::LoadBmp, "/nowhere/x.bmp"), 0);
    EXPECT_EQ(legacy.viewer.textures.checked[2], 0u);
    EXPECT_EQ(legacy.viewer.textures.checked[0], 0u);
    EXPECT_TRUE(legacy.viewer.menuRebuildPending);
}

TEST(LoadBmp, OnlyCompletePicturesUpToTheLimitReplaceTheArchive) {
    struct Case {
        platform::Bitmap bitmap;
        std::intptr_t result;
        bool imported;
    };
    auto shortRows = makeBitmap(5, 4);
    shortRows.bottomUpBgrRows.pop_back();
    for (const auto& c : {Case{shortRows, 0, false}, Case{makeBitmap(1025, 1), 1, false},
                          Case{makeBitmap(1, 1025), 1, false}, Case{makeBitmap(2, 2), 1, true},
                          Case{makeBitmap(1024, 1024), 1, true}}) {
        ViewerHarness h(Generation::Current);
        presetArchiveWithSlotTwoShown(h);
        turnAndShift(h.viewer.view);
        h.platform.bitmaps["/p/pic.bmp"] = c.bitmap;
        EXPECT_EQ(h.load(cmd::LoadBmp, "/p/pic.bmp"), c.result);
        const auto& store = h.viewer.textures;
        EXPECT_EQ(fields(h.viewer.view), kTurned);
        if (c.result == 1) {
            EXPECT_FALSE(h.viewer.menuRebuildPending);
        }
        if (c.imported) {
            EXPECT_EQ(store.slotCount, 0u);
            EXPECT_EQ(store.currentSlot, 0u);
            EXPECT_EQ(store.width[0], c.bitmap.width);
            EXPECT_EQ(store.height[0], c.bitmap.height);
            EXPECT_EQ(h.menuTitles(), (Labels{"File", "Help"}));
        } else {
            EXPECT_EQ(store.slotCount, 3u);
            EXPECT_EQ(store.width[0], 8u);
            EXPECT_EQ(store.currentSlot, 2u);
            if (c.result == 1) {  // over the limit: dropped after the marks move
                EXPECT_EQ(h.checkedIds("<FSH>"), (Ids{1030}));
            }
        }
    }
}

TEST(ObjectCommands, ToggleSelectAllDeselectAllAndLight) {
    ViewerHarness h(Generation::Current);
    presetModel(h.viewer.scene, 3, true);
    EXPECT_EQ(h.command(1011), 1);
    EXPECT_EQ(h.checkedIds("<EBO>"), (Ids{1010, 1011, cmd::Light}));
    h.command(1011);
    EXPECT_EQ(h.checkedIds("<EBO>"), (Ids{1010, cmd::Light}));
    EXPECT_FALSE(h.viewer.menuRebuildPending);
    h.command(cmd::SelectAll);
    EXPECT_EQ(h.checkedIds("<EBO>"), (Ids{1010, 1011, 1012, cmd::Light}));
    h.command(cmd::DeselectAll);
    h.command(cmd::Light);
    EXPECT_TRUE(h.checkedIds("<EBO>").empty());
    EXPECT_EQ(h.viewer.scene.lightingOn, 0);
    EXPECT_EQ(h.viewer.scene.visible[3], 0);  // beyond the model: untouched
    h.command(cmd::Light);
    EXPECT_EQ(h.viewer.scene.lightingOn, 1);

    // No Light command in the earlier generation.
    ViewerHarness legacy(Generation::Legacy);
    presetModel(legacy.viewer.scene, 2, false);
    EXPECT_EQ(legacy.command(cmd::Light), 1);
    EXPECT_EQ(legacy.viewer.scene.lightingOn, 0);
    EXPECT_TRUE(legacy.platform.menuBars.empty());
    legacy.command(1011);
    EXPECT_EQ(legacy.checkedIds("<EBO>"), (Ids{1010, 1011}));
}

TEST(TextureCommands, ChoosingAnImageOrBlankMovesTheSingleMark) {
    ViewerHarness h(Generation::Current);
    presetArchiveWithSlotTwoShown(h);
    h.command(1031);
    EXPECT_EQ(h.viewer.textures.currentSlot, 1u);
    EXPECT_EQ(h.checkedIds("<FSH>"), (Ids{1031}));
    h.command(1033);  // Blank
    EXPECT_EQ(h.viewer.textures.currentSlot, 3u);
    EXPECT_EQ(h.checkedIds("<FSH>"), (Ids{1033}));
    h.command(1033);
    EXPECT_EQ(h.checkedIds("<FSH>"), (Ids{1033}));
    h.command(1034);  // beyond Blank: no item
    EXPECT_EQ(h.viewer.textures.currentSlot, 3u);
    EXPECT_EQ(h.platform.menuBars.size(), 3u);

    // No Blank in the earlier generation, nor without an archive.
    ViewerHarness legacy(Generation::Legacy);
    presetArchiveWithSlotTwoShown(legacy);
    legacy.command(1033);
    EXPECT_EQ(legacy.viewer.textures.currentSlot, 2u);
    EXPECT_TRUE(legacy.platform.menuBars.empty());
    legacy.command(1030);
    EXPECT_EQ(legacy.checkedIds("<FSH>"), (Ids{1030}));
    ViewerHarness empty(Generation::Current);
    empty.command(1030);
    EXPECT_EQ(empty.viewer.textures.checked[0], 0u);
    EXPECT_TRUE(empty.platform.menuBars.empty());
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

}  // namespace
}  // namespace kelvane
