// The viewer's frame loop and end, run on the fake platform drawing offscreen.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include "platform/egl/offscreen_context.h"
#include "platform/fake/fake_platform.h"

namespace kelvane {
namespace {

namespace msg = platform::msg;
using Timeouts = std::vector<std::optional<std::chrono::milliseconds>>;

// Each message that changes the picture draws one frame, the close's
// included; with nothing changing the loop sleeps (with no timeout while no
// file is followed) instead of drawing the same frame again, and a menu
// opening or closing draws nothing. A GL context that cannot be made ends
// the viewer at once with the reason.
TEST(MainWindow, DrawsOnceForEachChangeAndOtherwiseWaits) {
    for (auto generation : {Generation::Current, Generation::Legacy}) {
        platform::fake::FakePlatform platform;
        std::unique_ptr<platform::OffscreenContext> context;
        platform.glContextFactory = [&](platform::Window&, std::string* error) {
            context = platform::OffscreenContext::create(64, 64, error);
            return context != nullptr;
        };
        Timeouts timeouts;
        platform.whileWaiting = [&](std::optional<std::chrono::milliseconds> timeout) {
            timeouts.push_back(timeout);
            const std::uint32_t next[] = {msg::Paint, msg::MenuSelect, msg::ExitMenuLoop, msg::Close};
            platform.post(next[timeouts.size() - 1]);
        };
        for (int key = 0; key < 2; ++key) platform.post(msg::KeyDown, 0x41);
        EXPECT_EQ(runViewer(platform, generation), 0);
        if (!context) GTEST_SKIP() << "no offscreen EGL context here";
        // Frames: two keys, the uncovered window, the close.
        EXPECT_EQ(std::pair(platform.framesSwapped, timeouts), std::pair(4, Timeouts(4, std::nullopt)));
    }
    platform::fake::FakePlatform noGl;
    noGl.glContextFactory = [](platform::Window&, std::string* error) { return *error = "no GL", false; };
    testing::internal::CaptureStderr();
    EXPECT_NE(runViewer(noGl, Generation::Legacy), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "kelvane-legacy: no GL\n");
    EXPECT_EQ(noGl.framesSwapped + noGl.waits, 0);
}

}  // namespace
}  // namespace kelvane
