#include "app/view_control.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace kelvane {
namespace {

using apptest::ViewerHarness;
using platform::kLeftButtonDown;
using platform::packPosition;
using platform::packWheel;

constexpr Generation kBoth[] = {Generation::Current, Generation::Legacy};

// Drags the left button to (x, y); true when a frame must be drawn.
bool dragTo(Viewer& viewer, int x, int y) { return onMouseMove(viewer, kLeftButtonDown, packPosition(x, y)); }

TEST(Keys, ArrowsPanByTheStepAndHomeRestoresOnlyThePan) {
    ViewerHarness h(Generation::Current);
    ViewState& view = h.viewer.view;
    view.step = 2.5;
    onKeyDown(h.viewer, platform::vk::Left);
    onKeyDown(h.viewer, platform::vk::Left);
    onKeyDown(h.viewer, platform::vk::Up);
    EXPECT_EQ(view.panX, 5.0);
    EXPECT_EQ(view.panY, -2.5);
    onKeyDown(h.viewer, platform::vk::Right);
    onKeyDown(h.viewer, platform::vk::Down);
    onKeyDown(h.viewer, platform::vk::Down);
    EXPECT_EQ(view.panX, 2.5);
    EXPECT_EQ(view.panY, 2.5);

    view.zoom = 4;
    view.pitch = 10;
    view.yaw = -20;
    onKeyDown(h.viewer, 'A');
    onKeyDown(h.viewer, 0x2E);  // DELETE, next to the arrows
    EXPECT_EQ(view.panX, 2.5);
    onKeyDown(h.viewer, platform::vk::Home);
    EXPECT_EQ(view.panX, 0);
    EXPECT_EQ(view.panY, 0);
    EXPECT_EQ(view.zoom, 4);
    EXPECT_EQ(view.pitch, 10);
    EXPECT_EQ(view.yaw, -20);
}

TEST(Keys, StepZeroBeforeALoadMovesNothingButLegacyMovesByFive) {
    ViewerHarness current(Generation::Current);
    for (auto key : {platform::vk::Left, platform::vk::Up}) onKeyDown(current.viewer, key);
    onMouseWheel(current.viewer, packWheel(120));
    EXPECT_EQ(current.viewer.view.panX, 0);
    EXPECT_EQ(current.viewer.view.panY, 0);
    EXPECT_EQ(current.viewer.view.zoom, 0);

    ViewerHarness legacy(Generation::Legacy);
    legacy.viewer.view.step = 1;  // not used by the earlier generation
    onKeyDown(legacy.viewer, platform::vk::Right);
    onKeyDown(legacy.viewer, platform::vk::Up);
    EXPECT_EQ(legacy.viewer.view.panX, -5);
    EXPECT_EQ(legacy.viewer.view.panY, -5);
    onMouseWheel(legacy.viewer, packWheel(120));
    EXPECT_EQ(legacy.viewer.view.zoom, -5);  // from its starting -10
}

TEST(Wheel, OnlyTheSignOfTheHighWordCounts) {
    ViewerHarness h(Generation::Current);
    ViewState& view = h.viewer.view;
    view.step = 0.5;
    onMouseWheel(h.viewer, packWheel(1, kLeftButtonDown));
    EXPECT_EQ(view.zoom, 0.5);
    onMouseWheel(h.viewer, packWheel(3 * 120));
    EXPECT_EQ(view.zoom, 1.0);  // one step, whatever the delta
    onMouseWheel(h.viewer, packWheel(0));
    EXPECT_EQ(view.zoom, 0.5);  // 0 moves away
    onMouseWheel(h.viewer, packWheel(-32768));
    EXPECT_EQ(view.zoom, 0.0);
    onMouseWheel(h.viewer, 0x7FFFu << 16 | 0xFFFFu);  // low word all ones: still up
    EXPECT_EQ(view.zoom, 0.5);
}

TEST(Drag, FirstSampleAnchorsWithoutTurningAndReleaseEndsTheDrag) {
    for (auto generation : kBoth) {
        ViewerHarness h(generation);
        ViewState& view = h.viewer.view;
        EXPECT_TRUE(dragTo(h.viewer, 100, 50));
        EXPECT_EQ(view.anchorX, 100);
        EXPECT_EQ(view.anchorY, 50);
        EXPECT_EQ(view.pitch, 0);
        EXPECT_EQ(view.yaw, 0);
        EXPECT_FALSE(dragTo(h.viewer, 100, 50));  // same place: no frame

        EXPECT_TRUE(dragTo(h.viewer, 110, 43));  // right and up
        EXPECT_EQ(view.yaw, 10);
        EXPECT_EQ(view.pitch, -7);

        EXPECT_FALSE(onMouseMove(h.viewer, 0, packPosition(300, 300)));
        EXPECT_EQ(view.anchorX, 0);
        EXPECT_EQ(view.anchorY, 0);
        EXPECT_TRUE(dragTo(h.viewer, 300, 300));  // a new drag: anchors again
        EXPECT_EQ(view.yaw, 10);
        EXPECT_EQ(view.pitch, -7);
    }
}

TEST(Drag, SampleAtTheOriginMeansNoDrag) {
    ViewerHarness h(Generation::Current);
    ViewState& view = h.viewer.view;
    dragTo(h.viewer, 20, 20);
    EXPECT_TRUE(dragTo(h.viewer, 0, 0));
    EXPECT_EQ(view.yaw, -20);
    EXPECT_EQ(view.pitch, -20);
    EXPECT_FALSE(dragTo(h.viewer, 0, 0));
    EXPECT_TRUE(dragTo(h.viewer, 40, 40));  // starts over, no turn
    EXPECT_EQ(view.yaw, -20);
    EXPECT_EQ(view.pitch, -20);
}

TEST(Drag, MovesOfOnePixelNeverTurn) {
    for (auto generation : kBoth) {
        ViewerHarness h(generation);
        dragTo(h.viewer, 50, 50);
        for (int i = 1; i <= 30; ++i) EXPECT_TRUE(dragTo(h.viewer, 50 + i, 50 - i));
        for (int i = 29; i >= 0; --i) dragTo(h.viewer, 50 + i, 50 - i);
        EXPECT_EQ(h.viewer.view.pitch, 0);
        EXPECT_EQ(h.viewer.view.yaw, 0);
        EXPECT_EQ(h.viewer.view.anchorX, 50);  // the anchor still follows
        dragTo(h.viewer, 52, 48);
        EXPECT_EQ(h.viewer.view.yaw, 2);
        EXPECT_EQ(h.viewer.view.pitch, -2);
    }
}

TEST(Drag, AnglesJumpToTheOtherEndPastOneEighty) {
    for (auto generation : kBoth) {
        ViewerHarness h(generation);
        ViewState& view = h.viewer.view;
        view.pitch = 178;
        view.yaw = -178;
        dragTo(h.viewer, 100, 100);
        dragTo(h.viewer, 95, 105);  // down 5, left 5
        EXPECT_EQ(view.pitch, -180);
        EXPECT_EQ(view.yaw, 180);

        view.pitch = 175;
        view.yaw = -175;
        dragTo(h.viewer, 90, 110);  // exactly to the ends: they stay
        EXPECT_EQ(view.pitch, 180);
        EXPECT_EQ(view.yaw, -180);
    }
}

TEST(Drag, PositionsAreSignedSixteenBitNumbers) {
    ViewerHarness h(Generation::Current);
    dragTo(h.viewer, -3, -4);
    EXPECT_EQ(h.viewer.view.anchorX, -3);
    EXPECT_EQ(h.viewer.view.anchorY, -4);
    dragTo(h.viewer, 7, 6);
    EXPECT_EQ(h.viewer.view.yaw, 10);
    EXPECT_EQ(h.viewer.view.pitch, 10);
}

}  // namespace
}  // namespace kelvane
