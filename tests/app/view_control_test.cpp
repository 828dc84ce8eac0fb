#include "app/view_control.h"

#include <gtest/gtest.h>

#include "app/main_window.h"

namespace kelvane {
namespace {

using platform::packPosition;
using platform::packWheel;
namespace vk = platform::vk;
constexpr auto kCurrent = Generation::Current;

// Drags the left button to (x, y), the message decoded as the window
// procedure decodes it; true when a frame must be drawn.
bool dragTo(ViewState& view, int x, int y) {
    return onMouseMove(view, mouseSample(platform::kLeftButtonDown, packPosition(x, y)));
}
std::pair<double, double> pan(const ViewState& v) { return {v.panX, v.panY}; }
std::pair<double, double> angles(const ViewState& v) { return {v.pitch, v.yaw}; }
std::pair<double, double> anchor(const ViewState& v) { return {v.anchorX, v.anchorY}; }
using Pair = std::pair<double, double>;

TEST(Keys, ArrowsPanByTheStepAndHomeRestoresOnlyThePan) {
    ViewState view;
    view.step = 2.5;
    for (auto key : {vk::Left, vk::Left, vk::Up}) onKeyDown(view, kCurrent, key);
    EXPECT_EQ(pan(view), Pair(5.0, -2.5));
    for (auto key : {vk::Right, vk::Down, vk::Down}) onKeyDown(view, kCurrent, key);
    EXPECT_EQ(pan(view), Pair(2.5, 2.5));
    view.zoom = 4;
    view.pitch = 10;
    view.yaw = -20;
    onKeyDown(view, kCurrent, 'A');
    onKeyDown(view, kCurrent, 0x2E);  // DELETE, next to the arrows
    EXPECT_EQ(pan(view), Pair(2.5, 2.5));
    onKeyDown(view, kCurrent, vk::Home);
    EXPECT_EQ(pan(view), Pair(0, 0));
    EXPECT_EQ(view.zoom, 4);
    EXPECT_EQ(angles(view), Pair(10, -20));
}

TEST(Keys, StepZeroBeforeALoadMovesNothingButLegacyMovesByFive) {
    ViewState current = initialViewState(kCurrent);
    for (auto key : {vk::Left, vk::Up}) onKeyDown(current, kCurrent, key);
    onMouseWheel(current, kCurrent, 120);
    EXPECT_EQ(pan(current), Pair(0, 0));
    EXPECT_EQ(current.zoom, 0);

    ViewState legacy = initialViewState(Generation::Legacy);
    legacy.step = 1;  // not used by the earlier generation
    for (auto key : {vk::Right, vk::Up}) onKeyDown(legacy, Generation::Legacy, key);
    EXPECT_EQ(pan(legacy), Pair(-5, -5));
    onMouseWheel(legacy, Generation::Legacy, 120);
    EXPECT_EQ(legacy.zoom, -5);  // from its starting -10
}

TEST(Wheel, OnlyTheSignOfTheHighWordCounts) {
    ViewState view;
    view.step = 0.5;
    // One step per message whatever the delta; 0 moves away; a low word of all ones does not matter.
    for (auto [wParam, zoom] : {std::pair{packWheel(1, platform::kLeftButtonDown), 0.5}, {packWheel(3 * 120), 1.0},
                                {packWheel(0), 0.5}, {packWheel(-32768), 0.0}, {0x7FFFu << 16 | 0xFFFFu, 0.5}}) {
        onMouseWheel(view, kCurrent, wheelDelta(wParam));
        EXPECT_EQ(view.zoom, zoom) << std::hex << wParam;
    }
}

// Drags along `path` from the given angles; rightward turns the yaw up,
// upward the pitch down, one degree a pixel.
TEST(Drag, TurnsByTheMoveFromTheSecondSampleOn) {
    struct Case {
        Pair start;
        std::vector<std::pair<int, int>> path;
        Pair angles;
    };
    std::vector<std::pair<int, int>> wiggle{{50, 50}};  // moves of one pixel never turn
    for (int i = 1; i <= 30; ++i) wiggle.push_back({50 + i, 50 - i});
    for (int i = 29; i >= 0; --i) wiggle.push_back({50 + i, 50 - i});
    wiggle.push_back({52, 48});  // two pixels do
    for (const auto& c : {Case{{0, 0}, {{100, 50}}, {0, 0}},  // the first sample only anchors
                          Case{{0, 0}, {{100, 50}, {110, 43}}, {-7, 10}},
                          Case{{0, 0}, {{-3, -4}, {7, 6}}, {10, 10}},  // positions are signed 16-bit
                          Case{{0, 0}, wiggle, {-2, 2}},
                          Case{{178, -178}, {{100, 100}, {95, 105}}, {-180, 180}},  // past 180: the other end
                          Case{{175, -175}, {{100, 100}, {95, 105}}, {180, -180}}}) {  // exactly to the ends: stay
        ViewState view;
        std::tie(view.pitch, view.yaw) = c.start;
        for (auto [x, y] : c.path) dragTo(view, x, y);
        EXPECT_EQ(angles(view), c.angles) << c.path.size();
        EXPECT_EQ(anchor(view), Pair(c.path.back().first, c.path.back().second));
    }
}

TEST(Drag, FramesAreAskedForOnlyWhenTheSampleMovesAndReleaseOrOriginEndsTheDrag) {
    ViewState view;
    EXPECT_TRUE(dragTo(view, 100, 50));
    EXPECT_FALSE(dragTo(view, 100, 50));  // same place: no frame
    EXPECT_TRUE(dragTo(view, 101, 49));
    EXPECT_FALSE(onMouseMove(view, mouseSample(0, packPosition(300, 300))));  // released
    EXPECT_EQ(anchor(view), Pair(0, 0));
    EXPECT_TRUE(dragTo(view, 20, 20));  // a new drag: anchors again, no turn
    EXPECT_EQ(angles(view), Pair(0, 0));
    EXPECT_TRUE(dragTo(view, 0, 0));  // turns, then (0, 0) means no drag
    EXPECT_EQ(angles(view), Pair(-20, -20));
    EXPECT_FALSE(dragTo(view, 0, 0));
    EXPECT_TRUE(dragTo(view, 40, 40));  // starts over, no turn
    EXPECT_EQ(angles(view), Pair(-20, -20));
}

}  // namespace
}  // namespace kelvane
