// The viewer's frame loop and end, run on the fake platform drawing offscreen.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/menus.h"
#include "platform/offscreen_context.h"
#include "platform/fake/fake_platform.h"
#include "tests/builders/test_files.h"
#include "tests/support/temp_dir.h"
#include "writers/file_writer.h"

namespace kelvane {
namespace {

namespace msg = platform::msg;
using Timeouts = std::vector<std::optional<std::chrono::milliseconds>>;

// The window's GL context is an offscreen one, kept in `context` (left null
// where this machine has no EGL).
void drawOffscreen(platform::fake::FakePlatform& platform, std::unique_ptr<platform::OffscreenContext>& context) {
    platform.glContextFactory = [&context](platform::Window&) -> Outcome {
        auto made = platform::OffscreenContext::create(64, 64);
        if (!made) return made.problem();
        context = std::move(*made);
        return Done{};
    };
}

// Each message that changes the picture draws one frame, the close's
// included; with nothing changing the loop sleeps (with no timeout while no
// file is followed) instead of drawing the same frame again, and a menu
// opening or closing draws nothing. A GL context that cannot be made ends
// the viewer at once with the reason.
TEST(MainWindow, DrawsOnceForEachChangeAndOtherwiseWaits) {
    platform::fake::FakePlatform platform;
    std::unique_ptr<platform::OffscreenContext> context;
    drawOffscreen(platform, context);
    Timeouts timeouts;
    platform.whileWaiting = [&](std::optional<std::chrono::milliseconds> timeout) {
        timeouts.push_back(timeout);
        const std::uint32_t next[] = {msg::Paint, msg::MenuSelect, msg::ExitMenuLoop, msg::Close};
        platform.post(next[timeouts.size() - 1]);
    };
    for (int key = 0; key < 2; ++key) platform.post(msg::KeyDown, 0x41);
    EXPECT_EQ(runViewer(platform, Generation::Current), 0);
    if (!context) GTEST_SKIP() << "no offscreen EGL context here";
    // Frames: two keys, the uncovered window, the close.
    EXPECT_EQ(std::pair(platform.framesSwapped, timeouts), std::pair(4, Timeouts(4, std::nullopt)));
    platform::fake::FakePlatform noGl;
    noGl.glContextFactory = [](platform::Window&) -> Outcome { return failure("no GL"); };
    testing::internal::CaptureStderr();
    EXPECT_NE(runViewer(noGl, Generation::Legacy), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "kelvane-legacy: no GL\n");
    EXPECT_EQ(noGl.framesSwapped + noGl.waits, 0);
}

// A window that cannot be made ends the viewer at once: one line with the
// reason on standard error, nothing drawn, no wait.
TEST(MainWindow, EndsWithTheReasonWhenTheWindowCannotBeMade) {
    platform::fake::FakePlatform platform;
    platform.failWindowCreation = true;
    testing::internal::CaptureStderr();
    EXPECT_NE(runViewer(platform, Generation::Current), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "kelvane: fake window creation refused by the test\n");
    EXPECT_EQ(platform.framesSwapped + platform.waits, 0);
}

// A frame is placed by the fit the frame before it found. When a frame finds
// another fit (objects shown, a model loaded) the next one follows at once,
// so the picture never rests placed by a fit that no longer holds; a frame
// that keeps the fit (a key) is drawn once.
TEST(MainWindow, DrawsAgainAtOnceWhenAFrameChangedTheFit) {
    test::TempDir dir;
    const auto model = dir / "two.ebo";
    writers::writeFile(model, writers::makeEbo({test::quadObject("a"), test::quadObject("b", 5, 5, 5)},
                                               Generation::Current));
    platform::fake::FakePlatform platform;
    std::unique_ptr<platform::OffscreenContext> context;
    drawOffscreen(platform, context);
    std::vector<int> framesAtWait;
    platform.whileWaiting = [&](std::optional<std::chrono::milliseconds>) {
        framesAtWait.push_back(platform.framesSwapped);
        const std::pair<std::uint32_t, std::uintptr_t> next[] = {
            {msg::Command, cmd::SelectAll}, {msg::KeyDown, 0x41}, {msg::Command, cmd::FirstObject}, {msg::Close, 0}};
        platform.post(next[framesAtWait.size() - 1].first, next[framesAtWait.size() - 1].second);
    };
    testing::internal::CaptureStderr();
    EXPECT_EQ(runViewer(platform, Generation::Current, {false, {model}}), 0);
    testing::internal::GetCapturedStderr();
    if (!context) GTEST_SKIP() << "no offscreen EGL context here";
    EXPECT_EQ(framesAtWait, (std::vector<int>{1, 3, 4, 6}));
}

}  // namespace
}  // namespace kelvane
