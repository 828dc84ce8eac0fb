// The View menu's choices, through the keys and items a user presses.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/menus.h"
#include "app/texture_view_control.h"
#include "app/window_title.h"
#include "app_test_support.h"
#include "tests/builders/test_files.h"
#include "writers/dxt_encoder.h"

namespace kelvane {
namespace {

using namespace apptest;

void press(ViewerHarness& h, std::uintptr_t key) { mainWindowProc(h.viewer, h.window, platform::msg::KeyDown, key, 0); }

// From the start the bar is File, View, Help, nothing checked. N, then a
// model of three named objects with an archive naming two of them in
// another case: every object shows and the title counts the two. T shows
// the chosen image, named in the title with its zoom, which the wheel
// doubles and HOME restores; the arrows then leave the model's view alone.
// W and the items toggle the same marks.
TEST(ViewMenu, KeysAndItemsToggleTheChoicesAndByNameShowsTheWholeFace) {
    ViewerHarness h(Generation::Current);
    rebuildMenuBar(h.viewer);
    const platform::Menu bare{"View", {{cmd::ImagesByName, "Images by Object Name (N)"}, {cmd::TextureView, "Texture View (T)"},
                                       {cmd::UvLayout, "UV Layout (U)"}, {cmd::Wireframe, "Wireframe (W)"}}};
    ASSERT_EQ(h.platform.shownMenuBar().menus.size(), 3u);
    EXPECT_EQ(h.platform.shownMenuBar().menus[1], bare);

    press(h, 'N');
    const auto dir = scratchDir();
    std::vector<writers::EboObject> objects;
    for (const char* name : {"Head", "eyes", "hair"}) objects.push_back(test::quadObject(name));
    writers::writeFile(dir / "face.ebo", writers::makeEbo(objects, Generation::Current));
    writers::FshArchive archive;
    for (const char* name : {"HEAD", "EYES", "x"})
        archive.images.push_back({name, 352, 8, 8, writers::encodeDxt1(8, 8, std::vector<std::uint8_t>(256, 200)), {}, {}});
    writers::writeFile(dir / "face.fsh", writers::buildFsh(archive));
    openFiles(h.viewer, {dir / "face.ebo"});
    EXPECT_EQ(h.checkedIds("<EBO>"), (Ids{1010, 1011, 1012, cmd::Light}));
    EXPECT_EQ(windowTitleText(h.viewer), "face.ebo, face.fsh - 2 of 3 objects by name - Kelvane v0.7");

    press(h, 'T');
    h.command(cmd::FirstTexture + 1);
    mainWindowProc(h.viewer, h.window, platform::msg::MouseWheel, platform::packWheel(120), 0);
    EXPECT_NE(windowTitleText(h.viewer).find(" - EYES DXT1 8x8 at 2x - "), std::string::npos);
    const ViewState before = h.viewer.view;
    for (std::uintptr_t key : {platform::vk::Left, platform::vk::Up, platform::vk::Home}) press(h, key);
    EXPECT_NE(windowTitleText(h.viewer).find(" at 1x - "), std::string::npos);
    EXPECT_EQ(fields(h.viewer.view), fields(before));

    press(h, 'W');
    h.command(cmd::UvLayout);
    h.command(cmd::ImagesByName);
    EXPECT_EQ(h.checkedIds("View"), (Ids{cmd::TextureView, cmd::UvLayout, cmd::Wireframe}));
}

// Each wheel step keeps the texel under the pointer where it was, from 1/8x
// to 32x and no further; a left drag moves the image with the pointer.
TEST(TextureViewControl, ZoomsAboutThePointerWithinItsRangeAndDragsPan) {
    TextureViewState state;
    const auto texelUnder = [&](double x, double y) {
        const TexturePlacement p = placeTexture(state, 64, 32, 200, 100);
        return std::pair((x - p.left) / p.scale, (y - p.top) / p.scale);
    };
    onTextureMouseMove(state, {false, 130, 40});
    const auto texel = texelUnder(130, 40);
    int steps = 0;
    for (int delta : {120, -120}) {
        while (onTextureWheel(state, delta, 200, 100)) {
            ++steps;
            EXPECT_EQ(texelUnder(130, 40), texel) << steps;
        }
    }
    EXPECT_EQ(std::pair(steps, textureScale(state)), std::pair(5 + 8, 0.125));
    for (const MouseSample& sample : {MouseSample{true, 10, 10}, MouseSample{true, 15, 7}})
        onTextureMouseMove(state, sample);
    EXPECT_EQ(texelUnder(135, 37), texel);
}

}  // namespace
}  // namespace kelvane
