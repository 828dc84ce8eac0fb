#include "app/view_control.h"

#include <gtest/gtest.h>

#include "app/main_window.h"

namespace kelvane {
namespace {

namespace vk = platform::vk;
using Pair = std::pair<double, double>;
constexpr auto kCurrent = Generation::Current, kLegacy = Generation::Legacy;

// Drags the left button to (x, y), the message decoded as the window
// procedure decodes it; true when a frame must be drawn.
bool dragTo(ViewState& view, int x, int y) {
    return onMouseMove(view, mouseSample(platform::kLeftButtonDown, platform::packPosition(x, y)));
}
Pair pan(const ViewState& v) { return {v.panX, v.panY}; }
Pair angles(const ViewState& v) { return {v.pitch, v.yaw}; }

// Arrows pan by the step (the earlier generation always by 5, the current one
// not at all before a load's fit); Home restores only the pan; other keys do nothing.
TEST(Keys, ArrowsPanByTheStepAndHomeRestoresOnlyThePan) {
    for (auto [generation, step, keys, moved] :
         {std::tuple{kCurrent, 2.5, std::vector<std::uintptr_t>{vk::Left, vk::Left, vk::Up, 'A', 0x2E}, Pair{5, -2.5}},
          std::tuple{kCurrent, 2.5, std::vector<std::uintptr_t>{vk::Right, vk::Down, vk::Down}, Pair{-2.5, 5}},
          std::tuple{kCurrent, 0.0, std::vector<std::uintptr_t>{vk::Left, vk::Up}, Pair{0, 0}},
          std::tuple{kLegacy, 1.0, std::vector<std::uintptr_t>{vk::Right, vk::Up}, Pair{-5, -5}}}) {
        ViewState view;
        std::tie(view.zoom, view.step, view.pitch, view.yaw) = std::tuple(4.0, step, 10.0, -20.0);
        for (auto key : keys) onKeyDown(view, generation, key);
        EXPECT_EQ(pan(view), moved) << keys.size();
        onKeyDown(view, generation, vk::Home);
        EXPECT_EQ(std::tuple(view.panX, view.panY, view.zoom, view.pitch, view.yaw),
                  std::tuple(0.0, 0.0, 4.0, 10.0, -20.0));
    }
}

// One step per message whatever the delta (the sign of the high word), the
// earlier generation by 5 from its starting -10, the current one not before a fit.
TEST(Wheel, OnlyTheSignOfTheHighWordCounts) {
    ViewState view, unfitted = initialViewState(kCurrent), legacy = initialViewState(kLegacy);
    view.step = 0.5;
    onMouseWheel(unfitted, kCurrent, 120), onMouseWheel(legacy, kLegacy, 120);
    EXPECT_EQ(std::pair(unfitted.zoom, legacy.zoom), std::pair(0.0, -5.0));
    for (auto [wParam, zoom] : {std::pair{platform::packWheel(1, platform::kLeftButtonDown), 0.5},
                                {platform::packWheel(3 * 120), 1.0}, {platform::packWheel(0), 0.5},
                                {platform::packWheel(-32768), 0.0}, {0x7FFFu << 16 | 0xFFFFu, 0.5}}) {
        onMouseWheel(view, kCurrent, wheelDelta(wParam));
        EXPECT_EQ(view.zoom, zoom) << std::hex << wParam;
    }
}

// Rightward turns the yaw up, upward the pitch down, one degree a pixel, from
// the second sample on; moves of one pixel never turn, positions are signed
// 16-bit, and past 180 an angle comes in at the other end.
TEST(Drag, TurnsByTheMoveFromTheSecondSampleOn) {
    using Path = std::vector<std::pair<int, int>>;
    for (const auto& [start, path, turned] :
         {std::tuple{Pair{0, 0}, Path{{100, 50}}, Pair{0, 0}},
          std::tuple{Pair{0, 0}, Path{{100, 50}, {110, 43}}, Pair{-7, 10}},
          std::tuple{Pair{0, 0}, Path{{-3, -4}, {7, 6}}, Pair{10, 10}},
          std::tuple{Pair{0, 0}, Path{{50, 50}, {51, 49}, {52, 48}, {51, 49}, {53, 47}}, Pair{-2, 2}},
          std::tuple{Pair{178, -178}, Path{{100, 100}, {95, 105}}, Pair{-180, 180}},
          std::tuple{Pair{175, -175}, Path{{100, 100}, {95, 105}}, Pair{180, -180}}}) {
        ViewState view;
        std::tie(view.pitch, view.yaw) = start;
        for (auto [x, y] : path) dragTo(view, x, y);
        EXPECT_EQ(angles(view), turned) << path.size();
        EXPECT_EQ(Pair(view.anchorX, view.anchorY), Pair(path.back().first, path.back().second));
    }
}

// A frame is asked for only when the sample moved; a release, or a sample at
// (0, 0), ends the drag and the next sample only anchors.
TEST(Drag, FramesAreAskedForOnlyWhenTheSampleMovesAndReleaseOrOriginEndsTheDrag) {
    ViewState view;
    EXPECT_TRUE(dragTo(view, 100, 50));
    EXPECT_FALSE(dragTo(view, 100, 50));
    EXPECT_TRUE(dragTo(view, 101, 49));
    EXPECT_FALSE(onMouseMove(view, mouseSample(0, platform::packPosition(300, 300))));
    EXPECT_EQ(Pair(view.anchorX, view.anchorY), Pair(0, 0));
    EXPECT_TRUE(dragTo(view, 20, 20));
    EXPECT_TRUE(dragTo(view, 0, 0));
    EXPECT_FALSE(dragTo(view, 0, 0));
    EXPECT_TRUE(dragTo(view, 40, 40));
    EXPECT_EQ(angles(view), Pair(-20, -20));
}

}  // namespace
}  // namespace kelvane
