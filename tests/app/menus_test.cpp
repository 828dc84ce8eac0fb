#include "app/menus.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace kelvane {
namespace {

using apptest::isUtf8;
using apptest::presetModel;
using apptest::ViewerHarness;
using Labels = std::vector<std::string>;

TEST(MenuBar, BeforeAnyLoadHoldsOnlyFileAndHelp) {
    for (auto generation : {Generation::Current, Generation::Legacy}) {
        ViewerHarness h(generation);
        const auto bar = buildMenuBar(h.viewer);
        ASSERT_EQ(bar.menus.size(), 2u);
        EXPECT_EQ(bar.menus[0], (platform::Menu{"File",
                                                {{cmd::LoadEbo, "Load EBO"},
                                                 {cmd::LoadFsh, "Load FSH"},
                                                 {cmd::LoadBmp, "Load BMP"},
                                                 {cmd::Quit, "Quit"}}}));
        EXPECT_EQ(bar.menus[1], (platform::Menu{"Help", {{cmd::About, "About"}}}));
    }
}

TEST(MenuBar, ObjectMenuFollowsCountVisibilityAndNormals) {
    ViewerHarness h(Generation::Current);
    presetModel(h.viewer.scene, 1, false);
    rebuildMenuBar(h.viewer);
    EXPECT_EQ(h.menuTitles(), (Labels{"File", "<EBO>", "Help"}));
    EXPECT_EQ(h.labels("<EBO>"), (Labels{"00 <SCRATCH>"}));  // one object: no Select All, no Light
    EXPECT_EQ(h.checkedIds("<EBO>"), (std::vector<int>{1010}));

    presetModel(h.viewer.scene, 3, true);
    h.viewer.scene.names[1] = std::nullopt;
    h.viewer.scene.visible[2] = 7;  // any non-zero flag is a check mark
    rebuildMenuBar(h.viewer);
    EXPECT_EQ(h.labels("<EBO>"),
              (Labels{"00 <SCRATCH>", "01 Empty", "02 <SCRATCH>", "Select All", "Deselect All", "Light"}));
    EXPECT_EQ(h.checkedIds("<EBO>"), (std::vector<int>{1010, 1012, cmd::Light}));
    const auto items = h.menu("<EBO>")->items;
    EXPECT_EQ(items[3].id, cmd::SelectAll);
    EXPECT_EQ(items[4].id, cmd::DeselectAll);

    h.viewer.scene.lightingOn = 0;
    rebuildMenuBar(h.viewer);
    EXPECT_EQ(h.checkedIds("<EBO>"), (std::vector<int>{1010, 1012}));  // Light shown, unchecked
}

TEST(MenuBar, TextureMenuListsSlotsThenBlank) {
    ViewerHarness h(Generation::Current);
    auto& store = h.viewer.textures;
    store.slotCount = 2;
    store.name[0] = "face";
    store.name[1] = "eyes";
    store.checked = {};
    store.checked[2] = 1;
    rebuildMenuBar(h.viewer);
    EXPECT_EQ(h.menuTitles(), (Labels{"File", "<FSH>", "Help"}));
    EXPECT_EQ(h.labels("<FSH>"), (Labels{"00 <face>", "01 <eyes>", "Blank"}));
    EXPECT_EQ(h.menu("<FSH>")->items.back().id, 1032);
    EXPECT_EQ(h.checkedIds("<FSH>"), (std::vector<int>{1032}));
}

TEST(MenuBar, LegacyLabelsHaveNoNamesLightOrBlank) {
    ViewerHarness h(Generation::Legacy);
    presetModel(h.viewer.scene, 2, true);  // normals flags are ignored there
    h.viewer.textures.slotCount = 2;
    h.viewer.textures.name[0] = "face";
    h.viewer.textures.name[1] = "hair";
    h.viewer.textures.checked[1] = 1;
    rebuildMenuBar(h.viewer);
    EXPECT_EQ(h.menuTitles(), (Labels{"File", "<EBO>", "<FSH>", "Help"}));
    EXPECT_EQ(h.labels("<EBO>"), (Labels{"Object:00", "Object:01", "Select All", "Deselect All"}));
    EXPECT_EQ(h.labels("<FSH>"), (Labels{"00:face", "01:hair"}));
    EXPECT_EQ(h.checkedIds("<FSH>"), (std::vector<int>{1031}));
}

// Counts a store was never meant to hold must not produce ids outside
// their ranges (nor read past the 20 slots).
TEST(MenuBar, CountsBeyondTheSlotsStayInTheirIdRanges) {
    ViewerHarness current(Generation::Current);
    presetModel(current.viewer.scene, 25, false);
    current.viewer.textures.slotCount = 40;
    rebuildMenuBar(current.viewer);
    auto objects = current.menu("<EBO>")->items;
    ASSERT_EQ(objects.size(), 22u);  // 20 objects, Select All, Deselect All
    EXPECT_EQ(objects[19].id, 1029);
    auto textures = current.menu("<FSH>")->items;
    ASSERT_EQ(textures.size(), 20u);  // 19 images and Blank
    EXPECT_EQ(textures.back().label, "Blank");
    EXPECT_EQ(textures.back().id, 1049);

    ViewerHarness legacy(Generation::Legacy);
    legacy.viewer.textures.slotCount = 0xFFFFFFFFu;
    rebuildMenuBar(legacy.viewer);
    textures = legacy.menu("<FSH>")->items;
    ASSERT_EQ(textures.size(), 20u);  // no Blank, so all 20 slots
    EXPECT_EQ(textures.back().id, 1049);

    presetModel(legacy.viewer.scene, -3, false);
    rebuildMenuBar(legacy.viewer);
    EXPECT_FALSE(legacy.menu("<EBO>"));
}

TEST(MenuLabels, LongNamesAreCutToNineteenCharactersKeepingTheBracket) {
    EXPECT_EQ(objectLabel(Generation::Current, 4, std::string("abcdefghijklmn")), "04 <abcdefghijklmn>");  // 19 fits
    EXPECT_EQ(objectLabel(Generation::Current, 4, std::string("abcdefghijklmno")), "04 <abcdefghijklm~>");
    EXPECT_EQ(objectLabel(Generation::Current, 19, std::string(255, 'x')), "19 <xxxxxxxxxxxxx~>");
    EXPECT_EQ(textureLabel(Generation::Current, 0, "abcdefghijklmnop"), "00 <abcdefghijklm~>");
    EXPECT_EQ(textureLabel(Generation::Legacy, 0, "abcdefghijklmnop"), "00:abcdefghijklmnop");  // 19 fits
    EXPECT_EQ(textureLabel(Generation::Legacy, 0, "abcdefghijklmnopq"), "00:abcdefghijklmno~");
}

TEST(MenuLabels, Latin1NamesWidenWithoutSplittingCharacters) {
    EXPECT_EQ(objectLabel(Generation::Current, 1, std::string("t\xEAte")), "01 <t\xC3\xAAte>");
    // Fourteen two-byte characters fit; fifteen are cut by characters, not bytes.
    for (int length : {14, 15, 40}) {
        const std::string label = objectLabel(Generation::Current, 1, std::string(length, '\xE9'));
        std::size_t characters = 0;
        ASSERT_TRUE(isUtf8(label, &characters)) << length;
        EXPECT_EQ(characters, 19u) << length;
        EXPECT_EQ(label.back(), '>');
    }
    std::size_t characters = 0;
    const std::string legacy = textureLabel(Generation::Legacy, 2, std::string(30, '\xFF'));
    ASSERT_TRUE(isUtf8(legacy, &characters));
    EXPECT_EQ(characters, 19u);
}

TEST(MenuLabels, NamesEndAtNulAndShowControlBytesAsQuestionMarks) {
    EXPECT_EQ(objectLabel(Generation::Current, 0, std::string("ab\0cd", 5)), "00 <ab>");
    EXPECT_EQ(textureLabel(Generation::Current, 0, "a\nb\tc\x7F" "d\x85"), "00 <a?b?c?d?>");
    EXPECT_EQ(objectLabel(Generation::Current, 0, std::string()), "00 <>");
}

}  // namespace
}  // namespace kelvane
