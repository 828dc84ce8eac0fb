// The parts of the FLTK backend that need no display.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/fltk/fltk_dialogs.h"
#include "platform/fltk/fltk_drop.h"
#include "platform/fltk/fltk_menu.h"
#include "tests/support/temp_dir.h"

namespace kelvane::platform::fltk {
namespace {

void pick(Fl_Widget*, void*) {}

// Every item stays (two of one name too), labels show literally ('&' and '@'
// are FLTK's markup), a check mark is a set toggle; each menu ends with a null
// item. Drop-downs, item ids and the callback are what the artist sessions
// pick items through.
TEST(FltkBackend, MenuArrayKeepsEveryItemAndShowsLabelsLiterally) {
    MenuBar bar{{{"<EBO>", {{1010, "head", true}, {1011, "head"}, {1012, "a/b_c\\d&e@f"}}}, {"Empty", {}}}};
    std::deque<std::string> labels;
    const std::vector<Fl_Menu_Item> items = menuItems(bar, pick, labels);
    std::vector<std::string> shown;
    for (const auto& item : items) shown.push_back(item.label() ? item.label() : "(end)");
    EXPECT_EQ(shown, (std::vector<std::string>{"<EBO>", "head", "head", "a/b_c\\d&&e@@f", "(end)", "Empty", "(end)",
                                               "(end)"}));
    EXPECT_EQ(std::pair(items[1].flags, items[2].flags), std::pair(FL_MENU_TOGGLE | FL_MENU_VALUE, 0));
}

// The filter matches both cases; a relative last path is made whole (FLTK
// would resolve a bare name against the working folder), a folder opens as
// itself; a name typed without extension gets the default one, in the case
// of the file that exists, unless it exists as typed. URI lists and plain
// paths as programs drop them: comments and other schemes are no files, a
// stray '%' stays.
TEST(FltkBackend, ChooserFiltersStartsNamesTypedAndDroppedPaths) {
    EXPECT_EQ(chooserFilter({"Open EBO", "EBO File", "*.EBO", "*.EBO", {}}), "EBO File\t*.{EBO,ebo}");
    EXPECT_EQ(chooserFilter({"Open", "", "", "", {}}), "*");
    const test::TempDir folder;
    EXPECT_EQ(chooserStart({"Open FSH", "", "", "", folder / "head.ebo"}).directory, folder.path.string());
    EXPECT_EQ(chooserStart({"Open FSH", "", "", "", "head.ebo"}).presetFile,
              (std::filesystem::current_path() / "head.ebo").string());
    EXPECT_EQ(chooserStart({"Open FSH", "", "", "", folder.path}).presetFile, "");
    EXPECT_EQ(chooserStart({}).directory, "");
    std::ofstream(folder / "lower.ebo") << "x";
    std::ofstream(folder / "noext") << "x";
    EXPECT_EQ(withDefaultExtension(folder / "noext", "*.EBO"), folder / "noext");
    EXPECT_EQ(withDefaultExtension(folder / "head", "*.EBO"), folder / "head.EBO");
    EXPECT_EQ(withDefaultExtension(folder / "lower", "*.EBO"), folder / "lower.ebo");
    EXPECT_EQ(withDefaultExtension(folder / "head.fsh", "*.EBO"), folder / "head.fsh");
    EXPECT_EQ(withNewlines("a\rb\r\rc\r\nd\r"), "a\nb\n\nc\nd\n");
    EXPECT_EQ(droppedPaths("file:///home/a%20b/t%C3%AAte.EBO\r\n# a comment\r\nfile://localhost/tmp/x.fsh\r\n"
                           "/tmp/100%.bmp\nhttp://example.org/a.ebo\n/tmp/%4"),
              (std::vector<std::filesystem::path>{"/home/a b/t\xC3\xAAte.EBO", "/tmp/x.fsh", "/tmp/100%.bmp", "/tmp/%4"}));
}

}  // namespace
}  // namespace kelvane::platform::fltk
