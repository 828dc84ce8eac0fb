#include "app/view_control.h"

#include <gtest/gtest.h>

#include "app/main_window.h"

namespace kelvane {
namespace {

namespace vk = platform::vk;
using Pair = std::pair<double, double>;
constexpr auto kCurrent = Generation::Current, kLegacy = Generation::Legacy;


// Arrows pan and the wheel zooms by the step: the earlier generation always
// by 5, the current one not at all before a load's fit. One wheel step per
// message whatever its delta (only the sign of the high word counts, 0 moves
// away). Home restores only the pan; other keys do nothing.
TEST(KeysAndWheel, ArrowsPanAndTheWheelZoomsByTheStepAndHomeRestoresOnlyThePan) {
    using Messages = std::vector<std::uintptr_t>;
    using platform::packWheel;
    for (auto [generation, step, keys, wheel, moved, zoom] :
         {std::tuple{kCurrent, 2.5, Messages{vk::Left, vk::Left, vk::Up, 'A', 0x2E},
                     Messages{packWheel(1, platform::kLeftButtonDown), packWheel(3 * 120), 0x7FFFu << 16 | 0xFFFFu},
                     Pair{5, -2.5}, 4 + 3 * 2.5},
          std::tuple{kCurrent, 2.5, Messages{vk::Right, vk::Down, vk::Down}, Messages{packWheel(0), packWheel(-32768)},
                     Pair{-2.5, 5}, 4 - 2 * 2.5},
          std::tuple{kCurrent, 0.0, Messages{vk::Left, vk::Up}, Messages{packWheel(120)}, Pair{0, 0}, 4.0},
          std::tuple{kLegacy, 1.0, Messages{vk::Right, vk::Up}, Messages{packWheel(120)}, Pair{-5, -5}, 4 + 5.0}}) {
        ViewState view;
        std::tie(view.pose.zoom, view.step, view.pose.pitch, view.pose.yaw) = std::tuple(4.0, step, 10.0, -20.0);
        for (auto key : keys) onKeyDown(view, generation, key);
        EXPECT_EQ(Pair(view.pose.panX, view.pose.panY), moved) << keys.size();
        for (auto wParam : wheel) onMouseWheel(view, generation, wheelDelta(wParam));
        onKeyDown(view, generation, vk::Home);
        EXPECT_EQ(std::tuple(view.pose.panX, view.pose.panY, view.pose.zoom, view.pose.pitch, view.pose.yaw),
                  std::tuple(0.0, 0.0, zoom, 10.0, -20.0));
    }
}

// Rightward turns the yaw up, upward the pitch down, one degree a pixel, from
// the second sample on; moves of one pixel never turn, positions are signed
// 16-bit, and past 180 an angle comes in at the other end. A frame is asked
// for (T) only when the sample moved; a release, or a sample at (0, 0), ends
// the drag and the next sample only anchors. Samples are decoded as the
// window procedure decodes them.
TEST(Drag, TurnsByTheMoveFromTheSecondSampleOnAndAsksForAFrameWhenTheSampleMoves) {
    struct Sample { int x, y; bool left = true; };
    using Path = std::vector<Sample>;
    for (const auto& [start, path, turned, frames] :
         {std::tuple{Pair{0, 0}, Path{{-3, -4}, {7, 6}}, Pair{10, 10}, "TT"},
          std::tuple{Pair{0, 0}, Path{{50, 50}, {51, 49}, {52, 48}, {51, 49}, {53, 47}}, Pair{-2, 2}, "TTTTT"},
          std::tuple{Pair{178, -178}, Path{{100, 100}, {95, 105}}, Pair{-180, 180}, "TT"},
          std::tuple{Pair{175, -175}, Path{{100, 100}, {95, 105}}, Pair{180, -180}, "TT"},
          std::tuple{Pair{0, 0}, Path{{100, 50}, {100, 50}, {101, 49}, {300, 300, false}, {20, 20}, {0, 0}, {0, 0}, {40, 40}},
                     Pair{-20, -20}, "TFTFTTFT"}}) {
        ViewState view;
        std::tie(view.pose.pitch, view.pose.yaw) = start;
        std::string asked;
        for (auto [x, y, left] : path)
            asked += onMouseMove(view, mouseSample(left ? platform::kLeftButtonDown : 0, platform::packPosition(x, y))) ? 'T' : 'F';
        EXPECT_EQ(std::tuple(Pair(view.pose.pitch, view.pose.yaw), asked, Pair(view.anchorX, view.anchorY)),
                  std::tuple(turned, std::string(frames), Pair(path.back().x, path.back().y)));
    }
}

}  // namespace
}  // namespace kelvane
