#include "app/menus.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace kelvane {
namespace {

using namespace apptest;

TEST(MenuBar, ObjectMenuFollowsCountVisibilityAndNormals) {
    ViewerHarness h(Generation::Current);
    presetModel(h.viewer.scene, 1, false);
    rebuildMenuBar(h.viewer);
    EXPECT_EQ(h.menuTitles(), (Labels{"File", "<EBO>", "Help"}));
    EXPECT_EQ(h.labels("<EBO>"), (Labels{"00 <SCRATCH>"}));  // one object: no Select All, no Light
    EXPECT_EQ(h.checkedIds("<EBO>"), (Ids{1010}));

    presetModel(h.viewer.scene, 3, true);
    h.viewer.scene.names[1] = std::nullopt;
    h.viewer.scene.visible[2] = 7;  // any non-zero flag is a check mark
    rebuildMenuBar(h.viewer);
    EXPECT_EQ(h.labels("<EBO>"),
              (Labels{"00 <SCRATCH>", "01 Empty", "02 <SCRATCH>", "Select All", "Deselect All", "Light"}));
    EXPECT_EQ(h.checkedIds("<EBO>"), (Ids{1010, 1012, cmd::Light}));
    EXPECT_EQ(h.menu("<EBO>")->items[3].id, cmd::SelectAll);
    EXPECT_EQ(h.menu("<EBO>")->items[4].id, cmd::DeselectAll);
    h.viewer.scene.lightingOn = 0;
    rebuildMenuBar(h.viewer);
    EXPECT_EQ(h.checkedIds("<EBO>"), (Ids{1010, 1012}));  // Light shown, unchecked

    // The earlier generation ignores normals: no Light.
    ViewerHarness legacy(Generation::Legacy);
    presetModel(legacy.viewer.scene, 2, true);
    rebuildMenuBar(legacy.viewer);
    EXPECT_EQ(legacy.labels("<EBO>"), (Labels{"Object:00", "Object:01", "Select All", "Deselect All"}));
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

TEST(MenuLabels, NamesAreCutToNineteenCharactersStopAtNulAndHideControlBytes) {
    const auto current = Generation::Current, legacy = Generation::Legacy;
    for (const auto& [label, expected] : std::initializer_list<std::pair<std::string, std::string>>{
             {objectLabel(current, 4, std::string("abcdefghijklmn")), "04 <abcdefghijklmn>"},  // 19 fits
             {objectLabel(current, 4, std::string("abcdefghijklmno")), "04 <abcdefghijklm~>"},
             {objectLabel(current, 19, std::string(255, 'x')), "19 <xxxxxxxxxxxxx~>"},
             {textureLabel(current, 0, "abcdefghijklmnop"), "00 <abcdefghijklm~>"},
             {textureLabel(legacy, 0, "abcdefghijklmnop"), "00:abcdefghijklmnop"},  // 19 fits
             {textureLabel(legacy, 0, "abcdefghijklmnopq"), "00:abcdefghijklmno~"},
             {objectLabel(current, 1, std::string("t\xEAte")), "01 <t\xC3\xAAte>"},  // Latin-1 widened
             {objectLabel(current, 0, std::string("ab\0cd", 5)), "00 <ab>"},
             {textureLabel(current, 0, "a\nb\tc\x7F" "d\x85"), "00 <a?b?c?d?>"},
             {objectLabel(current, 0, std::string()), "00 <>"}})
        EXPECT_EQ(label, expected);
}

TEST(MenuLabels, WidenedLatin1NamesAreCutByCharactersNotBytes) {
    // Fourteen two-byte characters fit; fifteen and more are cut.
    for (const auto& label : {objectLabel(Generation::Current, 1, std::string(14, '\xE9')),
                              objectLabel(Generation::Current, 1, std::string(15, '\xE9')),
                              objectLabel(Generation::Current, 1, std::string(40, '\xE9')),
                              textureLabel(Generation::Legacy, 2, std::string(30, '\xFF'))}) {
        std::size_t characters = 0;
        ASSERT_TRUE(isUtf8(label, &characters)) << label;
        EXPECT_EQ(characters, 19u) << label;
        if (label.starts_with("01 <")) {
            EXPECT_EQ(label.back(), '>');
        }
    }
}

}  // namespace
}  // namespace kelvane
