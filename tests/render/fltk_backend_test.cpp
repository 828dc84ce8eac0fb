// The parts of the FLTK backend that need no display: menu arrays, file
// chooser filters, message text and bitmap conversion.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/fltk/fltk_bitmap.h"
#include "platform/fltk/fltk_dialogs.h"
#include "platform/fltk/fltk_menu.h"

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
    EXPECT_STREQ(items[0].label(), "File");
    EXPECT_TRUE(items[0].flags & FL_SUBMENU);
    EXPECT_EQ(items[2].argument(), 1004);
    EXPECT_EQ(items[3].label(), nullptr);
    EXPECT_STREQ(items[4].label(), "<EBO>");
    EXPECT_STREQ(items[5].label(), "head");
    EXPECT_EQ(items[5].flags, FL_MENU_TOGGLE | FL_MENU_VALUE);
    EXPECT_EQ(items[5].argument(), 1010);
    EXPECT_STREQ(items[6].label(), "head");
    EXPECT_EQ(items[6].flags, 0);
    EXPECT_EQ(items[6].argument(), 1011);
    EXPECT_STREQ(items[7].label(), "a/b_c\\d&&e@@f");
    EXPECT_EQ(items[7].callback(), pick);
    EXPECT_STREQ(items[9].label(), "Empty");
    EXPECT_EQ(items[10].label(), nullptr);
    EXPECT_EQ(items[11].label(), nullptr);
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

// A 24-bit bottom-up BMP file as the format stores it, rows padded to 4 bytes.
std::vector<std::uint8_t> bmpFile(int width, int height, const std::vector<std::uint8_t>& rows) {
    auto le = [](std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    std::vector<std::uint8_t> file{'B', 'M'};
    le(file, static_cast<std::uint32_t>(54 + rows.size()), 4);
    le(file, 0, 4);
    le(file, 54, 4);
    le(file, 40, 4);
    le(file, static_cast<std::uint32_t>(width), 4);
    le(file, static_cast<std::uint32_t>(height), 4);
    le(file, 1, 2);
    le(file, 24, 2);
    le(file, 0, 4);
    le(file, static_cast<std::uint32_t>(rows.size()), 4);
    le(file, 2835, 4);
    le(file, 2835, 4);
    le(file, 0, 4);
    le(file, 0, 4);
    file.insert(file.end(), rows.begin(), rows.end());
    return file;
}

TEST(FltkBackend, BitmapsComeBackAsBottomUpPaddedBgrRows) {
    // 3 x 2 pixels: each row 9 bytes of colour and 3 of padding.
    const std::vector<std::uint8_t> rows = {
        1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0,            // bottom row
        10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};  // top row
    const auto path = std::filesystem::path(testing::TempDir()) / "kelvane_fltk_test.bmp";
    {
        const auto file = bmpFile(3, 2, rows);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
    }
    const auto bitmap = loadBmpFile(path);
    ASSERT_TRUE(bitmap.has_value());
    EXPECT_EQ(bitmap->width, 3u);
    EXPECT_EQ(bitmap->height, 2u);
    EXPECT_EQ(bitmap->bottomUpBgrRows, rows);

    // Not a bitmap at all.
    std::ofstream(path, std::ios::binary) << "not a picture";
    EXPECT_FALSE(loadBmpFile(path).has_value());
    EXPECT_FALSE(loadBmpFile(path.string() + ".missing").has_value());
    std::filesystem::remove(path);
}

TEST(FltkBackend, OtherDepthsAndStridesConvertToBgr) {
    // Grey, 2 x 2, rows 3 bytes apart (one byte of slack).
    const std::uint8_t grey[] = {10, 20, 99, 30, 40, 99};
    auto bitmap = bottomUpBgr(grey, 2, 2, 1, 3);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->bottomUpBgrRows,
              (std::vector<std::uint8_t>{30, 30, 30, 40, 40, 40, 0, 0, 10, 10, 10, 20, 20, 20, 0, 0}));
    // RGBA, 1 x 1: alpha is dropped.
    const std::uint8_t rgba[] = {1, 2, 3, 4};
    bitmap = bottomUpBgr(rgba, 1, 1, 4, 0);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->bottomUpBgrRows, (std::vector<std::uint8_t>{3, 2, 1, 0}));
    // Grey with alpha.
    const std::uint8_t greyAlpha[] = {7, 255};
    bitmap = bottomUpBgr(greyAlpha, 1, 1, 2, 0);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->bottomUpBgrRows, (std::vector<std::uint8_t>{7, 7, 7, 0}));
    // A stride shorter than a row, or an unknown depth, is refused.
    EXPECT_FALSE(bottomUpBgr(grey, 2, 2, 3, 3));
    EXPECT_FALSE(bottomUpBgr(grey, 2, 2, 5, 0));
}

}  // namespace
}  // namespace kelvane::platform::fltk
