// The parts of the FLTK backend that need no display: menu arrays, file
// chooser filters, message text and dropped file lists.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/fltk/fltk_dialogs.h"
#include "platform/fltk/fltk_drop.h"
#include "platform/fltk/fltk_menu.h"
#include "tests/support/temp_dir.h"

namespace kelvane::platform::fltk {
namespace {

void pick(Fl_Widget*, void*) {}

TEST(FltkBackend, MenuArrayKeepsEveryItemAndShowsLabelsLiterally) {
    MenuBar bar;
    bar.menus.push_back({"File", {{1001, "Load EBO"}, {1004, "Quit"}}});
    // Two objects of the same name stay two items; odd characters stay as they are.
    bar.menus.push_back({"<EBO>", {{1010, "head", true}, {1011, "head"}, {1012, "a/b_c\\d&e@f"}}});
    bar.menus.push_back({"Empty", {}});
    std::deque<std::string> labels;
    const std::vector<Fl_Menu_Item> items = menuItems(bar, pick, labels);

    // Title, items, end of submenu; for each menu; then the end of the bar.
    ASSERT_EQ(items.size(), 4u + 5u + 2u + 1u);
    auto label = [&](int i) { return items[i].label() ? std::string(items[i].label()) : std::string("(end)"); };
    const std::vector<std::string> expected{"File", "Load EBO", "Quit", "(end)", "<EBO>", "head", "head",
                                            "a/b_c\\d&&e@@f", "(end)", "Empty", "(end)", "(end)"};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(label(i), expected[i]) << i;
    EXPECT_TRUE(items[0].flags & FL_SUBMENU);
    EXPECT_EQ(items[2].argument(), 1004);
    EXPECT_EQ(items[5].flags, FL_MENU_TOGGLE | FL_MENU_VALUE);
    EXPECT_EQ(items[5].argument(), 1010);
    EXPECT_EQ(items[6].flags, 0);
    EXPECT_EQ(items[6].argument(), 1011);
    EXPECT_EQ(items[7].callback(), pick);
}

TEST(FltkBackend, ChooserFilterMatchesBothCasesAndTextGetsNewlines) {
    FileDialogRequest request{"Open EBO", "EBO File", "*.EBO", "*.EBO", {}};
    EXPECT_EQ(chooserFilter(request), "EBO File\t*.{EBO,ebo}");
    request.pattern = "*.{bmp,dib}";
    EXPECT_EQ(chooserFilter(request), "EBO File\t*.{bmp,dib}");
    request.filterName.clear();
    request.pattern.clear();
    EXPECT_EQ(chooserFilter(request), "*");
    EXPECT_EQ(withNewlines("a\rb\r\rc\r\nd\r"), "a\nb\n\nc\nd\n");
}

TEST(FltkBackend, DroppedUriListsBecomeLocalPaths) {
    using Paths = std::vector<std::filesystem::path>;
    EXPECT_EQ(droppedPaths("file:///home/a%20b/t%C3%AAte.EBO\r\n# a comment\r\nfile://localhost/tmp/x.fsh\r\n"),
              (Paths{"/home/a b/t\xC3\xAAte.EBO", "/tmp/x.fsh"}));
    // Plain paths as some programs drop them; a stray '%' stays; other schemes are no files.
    EXPECT_EQ(droppedPaths("/tmp/100%.bmp\nhttp://example.org/a.ebo\n/tmp/%4"), (Paths{"/tmp/100%.bmp", "/tmp/%4"}));
    EXPECT_TRUE(droppedPaths("").empty());
}

// FLTK's own chooser resolves a bare preset name against the working
// directory, so the dialog would open there instead of on the last path.
TEST(FltkBackend, ChooserOpensOnTheWholeLastPath) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    FileDialogRequest request{"Open FSH", "FSH File", "*.FSH", "*.FSH", folder / "faces" / "head.ebo"};
    ChooserStart start = chooserStart(request);
    EXPECT_EQ(start.directory, (folder / "faces").string());
    EXPECT_EQ(start.presetFile, (folder / "faces" / "head.ebo").string());

    request.initialPath = "head.ebo";  // relative: made whole, never left bare
    start = chooserStart(request);
    EXPECT_EQ(start.presetFile, (std::filesystem::current_path() / "head.ebo").string());

    request.initialPath = folder;  // a folder opens as the folder, nothing preset
    start = chooserStart(request);
    EXPECT_EQ(start.directory, folder.string());
    EXPECT_TRUE(start.presetFile.empty());

    EXPECT_TRUE(chooserStart(FileDialogRequest{}).directory.empty());
}

TEST(FltkBackend, ANameTypedWithoutExtensionGetsTheDefaultOne) {
    const test::TempDir folder;
    std::ofstream(folder / "kelvane_lower.ebo") << "x";
    EXPECT_EQ(withDefaultExtension(folder / "head", "*.EBO"), folder / "head.EBO");
    EXPECT_EQ(withDefaultExtension(folder / "kelvane_lower", "*.EBO"), folder / "kelvane_lower.ebo");
    EXPECT_EQ(withDefaultExtension(folder / "head.fsh", "*.EBO"), folder / "head.fsh");
    EXPECT_EQ(withDefaultExtension(folder.path, "*.EBO"), folder.path);
}

}  // namespace
}  // namespace kelvane::platform::fltk
