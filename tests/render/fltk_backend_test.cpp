// The parts of the FLTK backend that need no display: menu arrays, file
// chooser filters, message text, dropped file lists and bitmap conversion.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/fltk/fltk_bitmap.h"
#include "platform/fltk/fltk_dialogs.h"
#include "platform/fltk/fltk_drop.h"
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

TEST(FltkBackend, BmpFilesComeBackAsBottomUpPaddedBgrRows) {
    // 3 x 2 pixels: each row 9 bytes of colour and 3 of padding, bottom row first.
    const std::vector<std::uint8_t> rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0,
                                            10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
    // File header, then a 40-byte info header: 3 x 2, one plane, 24 bits, uncompressed.
    std::vector<std::uint8_t> file{'B', 'M'};
    for (std::uint32_t field : {54u + 24u, 0u, 54u, 40u, 3u, 2u})
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(field >> (8 * i)));
    file.insert(file.end(), {1, 0, 24, 0});
    for (std::uint32_t field : {0u, 24u, 2835u, 2835u, 0u, 0u})
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(field >> (8 * i)));
    file.insert(file.end(), rows.begin(), rows.end());
    const auto path = std::filesystem::path(testing::TempDir()) / "kelvane_fltk_test.bmp";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());

    const auto bitmap = loadBmpFile(path);
    ASSERT_TRUE(bitmap.has_value());
    EXPECT_EQ(bitmap->width, 3u);
    EXPECT_EQ(bitmap->height, 2u);
    EXPECT_EQ(bitmap->bottomUpBgrRows, rows);

    const auto loads = [&path](const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return loadBmpFile(path).has_value();
    };
    // One byte short of the rows the header promises: FLTK would fill in junk.
    EXPECT_FALSE(loads(std::vector<std::uint8_t>(file.begin(), file.end() - 1)));
    // A header claiming 60000 x 60000 pixels: FLTK would size its buffer
    // from it and fail to allocate.
    auto huge = file;
    huge[19] = huge[23] = 0xEA;
    huge[20] = huge[24] = 0x00;
    huge[18] = huge[22] = 0x60;
    EXPECT_FALSE(loads(huge));

    // Run-length encoded (RLE8): refused, since FLTK garbles such rows.
    file[28] = 8;
    file[30] = 1;
    EXPECT_FALSE(loads(file));

    std::ofstream(path, std::ios::binary) << "not a picture";
    EXPECT_FALSE(loadBmpFile(path).has_value());
    EXPECT_FALSE(loadBmpFile(path.string() + ".missing").has_value());
    std::filesystem::remove(path);
}

TEST(FltkBackend, OtherDepthsAndStridesConvertToBgr) {
    const std::uint8_t grey[] = {10, 20, 99, 30, 40, 99}, rgba[] = {1, 2, 3, 4}, greyAlpha[] = {7, 255};
    struct Case {
        const std::uint8_t* pixels;
        int width, height, depth, stride;
        std::vector<std::uint8_t> rows;
    };
    for (const auto& c : {// Grey, 2 x 2, rows 3 bytes apart (one byte of slack).
                          Case{grey, 2, 2, 1, 3, {30, 30, 30, 40, 40, 40, 0, 0, 10, 10, 10, 20, 20, 20, 0, 0}},
                          Case{rgba, 1, 1, 4, 0, {3, 2, 1, 0}},  // alpha is dropped
                          Case{greyAlpha, 1, 1, 2, 0, {7, 7, 7, 0}}}) {
        const auto bitmap = bottomUpBgr(c.pixels, c.width, c.height, c.depth, c.stride);
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(bitmap->bottomUpBgrRows, c.rows);
    }
    // A stride shorter than a row, or an unknown depth, is refused.
    EXPECT_FALSE(bottomUpBgr(grey, 2, 2, 3, 3));
    EXPECT_FALSE(bottomUpBgr(grey, 2, 2, 5, 0));
}

}  // namespace
}  // namespace kelvane::platform::fltk
