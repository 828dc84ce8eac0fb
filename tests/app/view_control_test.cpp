#include "app/view_control.h"

#include <gtest/gtest.h>

#include "app/main_window.h"

namespace kelvane {
namespace {

namespace vk = platform::vk;
using Pair = std::pair<double, double>;
constexpr auto kCurrent = Generation::Current, kLegacy = Generation::Legacy;

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
// 16-bit, and past 180 an angle comes in at the other end. A frame is asked
// for (T) only when the sample moved; a release, or a sample at (0, 0), ends
// the drag and the next sample only anchors. Samples are decoded as the
// window procedure decodes them.
TEST(Drag, TurnsByTheMoveFromTheSecondSampleOnAndAsksForAFrameWhenTheSampleMoves) {
    struct Sample {
        int x, y;
        bool left = true;
    };
    using Path = std::vector<Sample>;
    for (const auto& [start, path, turned, frames] :
         {std::tuple{Pair{0, 0}, Path{{100, 50}, {110, 43}}, Pair{-7, 10}, "TT"},
          std::tuple{Pair{0, 0}, Path{{-3, -4}, {7, 6}}, Pair{10, 10}, "TT"},
          std::tuple{Pair{0, 0}, Path{{50, 50}, {51, 49}, {52, 48}, {51, 49}, {53, 47}}, Pair{-2, 2}, "TTTTT"},
          std::tuple{Pair{178, -178}, Path{{100, 100}, {95, 105}}, Pair{-180, 180}, "TT"},
          std::tuple{Pair{175, -175}, Path{{100, 100}, {95, 105}}, Pair{180, -180}, "TT"},
          std::tuple{Pair{0, 0}, Path{{100, 50}, {100, 50}, {101, 49}, {300, 300, false}, {20, 20}, {0, 0}, {0, 0}, {40, 40}},
                     Pair{-20, -20}, "TFTFTTFT"}}) {
        ViewState view;
        std::tie(view.pitch, view.yaw) = start;
        std::string asked;
        for (auto [x, y, left] : path)
            asked += onMouseMove(view, mouseSample(left ? platform::kLeftButtonDown : 0, platform::packPosition(x, y))) ? 'T' : 'F';
        EXPECT_EQ(std::tuple(angles(view), asked, Pair(view.anchorX, view.anchorY)),
                  std::tuple(turned, std::string(frames), Pair(path.back().x, path.back().y)))
            << path.size();
    }
}

}  // namespace
}  // namespace kelvane
