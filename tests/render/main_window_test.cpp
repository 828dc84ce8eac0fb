// The viewer's start-up, frame loop and end, run on the fake platform
// drawing offscreen.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <array>

#include "platform/fake/fake_platform.h"
#include "render/gl.h"
#include "tests/app/app_test_support.h"
#include "tests/builders/test_files.h"
#include "writers/ebo_writer.h"
#include "writers/file_writer.h"
#include "tests/render/offscreen_picture.h"

namespace kelvane {
namespace {

namespace msg = platform::msg;

std::array<GLint, 4> viewport() {
    std::array<GLint, 4> v{};
    glGetIntegerv(GL_VIEWPORT, v.data());
    return v;
}

// Records the order of start-up calls and the viewport the first pump finds;
// `sizeOnShow` false leaves out the Size message some systems skip on show.
struct OffscreenPlatform : platform::fake::FakePlatform {
    bool sizeOnShow = true;
    std::unique_ptr<platform::OffscreenContext> context;
    std::vector<std::string> events;
    std::array<GLint, 4> firstViewport{};
    int pumps = 0;

    OffscreenPlatform() {
        size = {300, 200};
        glContextFactory = [this](platform::Window&, std::string* error) {
            events.push_back("gl");
            context = platform::OffscreenContext::create(size.width, size.height, error);
            return context != nullptr;
        };
    }
    std::unique_ptr<platform::Window> createMainWindow(const std::string& title, int w, int h,
                                                       platform::WindowProc procedure, std::string* error) override {
        events.push_back("create " + title + " " + std::to_string(w) + "x" + std::to_string(h));
        return FakePlatform::createMainWindow(title, w, h, std::move(procedure), error);
    }
    void showWindow(platform::Window& window) override {
        events.push_back("show");
        if (sizeOnShow) FakePlatform::showWindow(window);
    }
    bool pumpMessage() override {
        if (pumps++ == 0) firstViewport = viewport();
        return FakePlatform::pumpMessage();
    }
};

// The current viewer starts without a Size message on show, the legacy one
// with it (whose packed size sets the viewport).
TEST(MainWindow, RunsAFramePerPumpUntilClosedAndEndsWithZero) {
    for (auto [generation, grey] : {std::pair{Generation::Current, 26}, {Generation::Legacy, 77}}) {
        OffscreenPlatform platform;
        platform.sizeOnShow = generation == Generation::Legacy;
        for (int i = 0; i < 4; ++i) platform.post(msg::KeyDown, 0x41);
        platform.post(msg::Close);
        const int status = runViewer(platform, generation);
        if (!platform.context) GTEST_SKIP() << "no offscreen EGL context here";
        EXPECT_EQ(status, 0);
        EXPECT_EQ(platform.events,
                  (std::vector<std::string>{std::string("create ") + windowTitle(generation) + " 512x512", "gl", "show"}));
        EXPECT_EQ(platform.firstViewport,
                  (std::array<GLint, 4>{0, generation == Generation::Legacy ? -10 : 0, 300, 200}));
        // Passes 1 to 5 drew a frame each, the close included; pass 6 took the quit and drew nothing.
        EXPECT_EQ(platform.pumps, 6);
        EXPECT_EQ(platform.framesSwapped, 5);
        EXPECT_TRUE(test::grab(*platform.context).isGrey(150, 100, grey));
    }
}

// With nothing changing the loop sleeps instead of drawing the same frame
// again; an uncovered window draws, opening or closing a menu does not.
TEST(MainWindow, DrawsWhenSomethingChangedAndOtherwiseWaits) {
    OffscreenPlatform platform;
    std::vector<std::optional<std::chrono::milliseconds>> timeouts;
    platform.whileWaiting = [&](std::optional<std::chrono::milliseconds> timeout) {
        timeouts.push_back(timeout);
        const std::uint32_t next[] = {msg::Paint, msg::MenuSelect, msg::ExitMenuLoop, msg::Close};
        platform.post(next[timeouts.size() - 1]);
    };
    EXPECT_EQ(runViewer(platform, Generation::Current), 0);
    if (!platform.context) GTEST_SKIP() << "no offscreen EGL context here";
    // The first frame, the uncovered window's, the close's.
    EXPECT_EQ(platform.framesSwapped, 3);
    ASSERT_EQ(timeouts.size(), 4u);
    for (const auto& timeout : timeouts) EXPECT_EQ(timeout, std::nullopt);  // nothing followed: no reason to wake
}

// Command-line files open in order before the first frame, without a
// dialog; dropped files open the same way, other dropped files are ignored.
TEST(MainWindow, OpensCommandLineFilesFirstAndDroppedFilesLater) {
    const auto dir = apptest::scratchDir();
    OffscreenPlatform platform;
    writers::writeFile(dir / "head.ebo", writers::makeEbo({test::quadObject("head")}, Generation::Current));
    writers::writeFile(dir / "eyes.EBO",
                    writers::makeEbo({test::quadObject("eyes"), test::quadObject("lids")}, Generation::Current));
    TextureStore scratch(Generation::Current);
    apptest::writeArchive(dir / "faces.fsh", {"face"}, scratch);
    std::vector<std::optional<std::chrono::milliseconds>> timeouts;
    platform.whileWaiting = [&](std::optional<std::chrono::milliseconds> timeout) {
        timeouts.push_back(timeout);
        if (timeouts.size() == 1) {
            platform.droppedFiles = {dir / "notes.txt", dir / "eyes.EBO"};
            platform.post(msg::DropFiles);
        } else {
            platform.post(msg::Command, 1002);  // Load FSH, cancelled
            platform.post(msg::Close);
        }
    };
    testing::internal::CaptureStderr();
    const int status = runViewer(platform, Generation::Current, {true, {dir / "head.ebo", dir / "faces.fsh"}});
    testing::internal::GetCapturedStderr();
    if (!platform.context) GTEST_SKIP() << "no offscreen EGL context here";
    EXPECT_EQ(status, 0);
    // The one dialog opened by hand starts on the last file given.
    ASSERT_EQ(platform.dialogRequests.size(), 1u);
    EXPECT_EQ(platform.dialogRequests[0].initialPath, dir / "eyes.EBO");
    EXPECT_EQ(platform.titles,
              (std::vector<std::string>{"head.ebo - Kelvane v0.7", "head.ebo, faces.fsh - Kelvane v0.7",
                                        "eyes.EBO, faces.fsh - Kelvane v0.7"}));
    // The menu bar after the drop: the dropped model and the archive.
    std::vector<std::string> titles;
    for (const auto& menu : platform.shownMenuBar().menus) titles.push_back(menu.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"File", "<EBO>", "<FSH>", "Help"}));
    // Two objects, Select All, Deselect All, Light.
    EXPECT_EQ(platform.shownMenuBar().menus[1].items.size(), 5u);
    EXPECT_EQ(platform.framesSwapped, 4);  // the first, after the drop, the command and the close
    // Files are followed: the waits end in time for the next check.
    ASSERT_EQ(timeouts.size(), 2u);
    for (const auto& timeout : timeouts) {
        ASSERT_TRUE(timeout.has_value());
        EXPECT_LE(*timeout, FileFollower::kCheckInterval);
    }
}

TEST(MainWindow, FailingWindowOrContextEndsNonZero) {
    platform::fake::FakePlatform noWindow;
    noWindow.failWindowCreation = true;
    testing::internal::CaptureStderr();
    EXPECT_NE(runViewer(noWindow, Generation::Current), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "kelvane: fake window creation refused by the test\n");

    OffscreenPlatform noGl;
    noGl.glContextFactory = [](platform::Window&, std::string* error) { return *error = "no GL", false; };
    testing::internal::CaptureStderr();
    EXPECT_NE(runViewer(noGl, Generation::Legacy), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "kelvane-legacy: no GL\n");
    EXPECT_EQ(noGl.pumps, 0);
}

}  // namespace
}  // namespace kelvane
