// The window procedure's routing and the viewer's start-up, frame loop and
// end, run on a scripted platform that draws offscreen.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <functional>

#include "app/menus.h"
#include "render/gl.h"
#include "tests/render/offscreen_picture.h"

namespace kelvane {
namespace {

namespace msg = platform::msg;

struct ScriptedWindow : platform::Window {
    platform::WindowProc procedure;
    std::vector<platform::MenuBar> menuBars;
    int swaps = 0;
    int destroyCalls = 0;
    platform::ClientSize size{300, 200};

    void setMenuBar(const platform::MenuBar& bar) override { menuBars.push_back(bar); }
    void showMessageBox(const std::string&, const std::string&) override {}
    std::optional<std::filesystem::path> openFileDialog(const platform::FileDialogRequest&) override {
        return std::nullopt;
    }
    platform::ClientSize clientSize() const override { return size; }
    void swapBuffers() override { ++swaps; }
    void destroy() override {
        ++destroyCalls;
        procedure(*this, msg::Destroy, 0, 0);
    }
};

// Queued messages come out one per pump; `afterPump` runs after every pump,
// so a test can post more once some frames were drawn.
struct ScriptedPlatform : platform::Platform {
    struct Message {
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    bool failWindow = false, failGl = false, sendSizeOnShow = true;
    ScriptedWindow* window = nullptr;
    std::unique_ptr<platform::OffscreenContext> context;
    std::deque<Message> queue;
    bool quitPosted = false, quitTaken = false;
    int pumps = 0;
    std::vector<std::string> events;
    std::function<void(ScriptedPlatform&)> afterPump;

    std::unique_ptr<platform::Window> createMainWindow(const std::string& title, int w, int h,
                                                       platform::WindowProc procedure, std::string* error) override {
        events.push_back("create " + title + " " + std::to_string(w) + "x" + std::to_string(h));
        if (failWindow) {
            *error = "no display";
            return nullptr;
        }
        auto made = std::make_unique<ScriptedWindow>();
        made->procedure = std::move(procedure);
        window = made.get();
        made->procedure(*made, msg::Create, 0, 0);
        return made;
    }
    bool createGlContext(platform::Window&, std::string* error) override {
        events.push_back("gl");
        if (failGl) {
            *error = "no GL";
            return false;
        }
        context = platform::OffscreenContext::create(window->size.width, window->size.height, error);
        return context != nullptr;
    }
    void showWindow(platform::Window&) override {
        events.push_back("show");
        if (sendSizeOnShow)
            window->procedure(*window, msg::Size, 0, platform::packPosition(window->size.width, window->size.height));
    }
    bool pumpMessage() override {
        ++pumps;
        if (afterPump) afterPump(*this);
        if (!queue.empty()) {
            const Message next = queue.front();
            queue.pop_front();
            window->procedure(*window, next.message, next.wParam, next.lParam);
        } else if (quitPosted) {
            quitTaken = true;
        }
        return !quitTaken;
    }
    void postQuit(int) override { quitPosted = true; }
    std::optional<platform::Bitmap> loadBitmap(const std::filesystem::path&) override { return std::nullopt; }
};

std::array<GLint, 4> viewport() {
    std::array<GLint, 4> v{};
    glGetIntegerv(GL_VIEWPORT, v.data());
    return v;
}

TEST(MainWindow, ProcedureRoutesEachMessage) {
    ScriptedPlatform platform;
    Viewer viewer(Generation::Current, platform);
    ScriptedWindow window;
    window.procedure = [&](platform::Window& w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
        return mainWindowProc(viewer, w, m, wp, lp);
    };
    EXPECT_EQ(mainWindowProc(viewer, window, msg::Create, 0, 0), 1);
    EXPECT_EQ(viewer.window, &window);
    ASSERT_EQ(window.menuBars.size(), 1u);
    EXPECT_EQ(window.menuBars[0], buildMenuBar(viewer));

    EXPECT_EQ(mainWindowProc(viewer, window, msg::MenuSelect, 0, 0), 1);
    EXPECT_EQ(mainWindowProc(viewer, window, msg::ExitMenuLoop, 0, 0), 1);
    EXPECT_EQ(mainWindowProc(viewer, window, msg::KeyDown, 0x41, 0), 1);  // ignored keys are consumed too
    EXPECT_EQ(mainWindowProc(viewer, window, 0x000F /* paint */, 0, 0), 0);
    EXPECT_FALSE(platform.quitPosted);

    // Close destroys the window, whose destruction posts the quit message.
    EXPECT_EQ(mainWindowProc(viewer, window, msg::Close, 0, 0), 1);
    EXPECT_EQ(window.destroyCalls, 1);
    EXPECT_TRUE(platform.quitPosted);
}

TEST(MainWindow, SizeMessageSetsTheViewportFromItsPackedSize) {
    for (Generation generation : {Generation::Current, Generation::Legacy}) {
        auto context = test::viewerContext(generation, 16, 16);
        KELVANE_NEED_GL(context);
        ScriptedPlatform platform;
        Viewer viewer(generation, platform);
        ScriptedWindow window;
        mainWindowProc(viewer, window, msg::Size, 0, platform::packPosition(700, 300));
        const GLint y = generation == Generation::Legacy ? -10 : 0;
        EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, y, 700, 300}));
    }
}

TEST(MainWindow, RunsUntilClosedAndEndsWithZero) {
    for (auto [generation, grey] : {std::pair{Generation::Current, 26}, {Generation::Legacy, 77}}) {
        ScriptedPlatform platform;
        // Three frames, then the close box.
        platform.afterPump = [](ScriptedPlatform& p) {
            if (p.pumps == 3) p.queue.push_back({msg::Close, 0, 0});
        };
        const int status = runViewer(platform, generation);
        if (!platform.context) GTEST_SKIP() << "no offscreen EGL context here";
        EXPECT_EQ(status, 0);
        EXPECT_EQ(platform.events,
                  (std::vector<std::string>{std::string("create ") + windowTitle(generation) + " 512x512", "gl", "show"}));
        EXPECT_TRUE(platform.quitTaken);
        const test::Picture picture = test::grab(*platform.context);
        EXPECT_TRUE(picture.isGrey(150, 100, grey));
    }
}

TEST(MainWindow, FramesFollowThePumpAndTheProjectionIsSetWithoutASizeMessage) {
    ScriptedPlatform platform;
    platform.sendSizeOnShow = false;
    int swapsAtQuit = -1;
    std::array<GLint, 4> viewportSeen{};
    platform.afterPump = [&](ScriptedPlatform& p) {
        if (p.pumps == 1) viewportSeen = viewport();
        if (p.pumps == 5) p.queue.push_back({msg::Close, 0, 0});
        if (p.quitPosted && swapsAtQuit < 0) swapsAtQuit = p.window->swaps;
    };
    const int status = runViewer(platform, Generation::Current);
    if (!platform.context) GTEST_SKIP() << "no offscreen EGL context here";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(viewportSeen, (std::array<GLint, 4>{0, 0, 300, 200}));
    // Passes 1 to 5 drew a frame each, pass 5 (the close) included; pass 6
    // took the quit message and drew nothing.
    EXPECT_EQ(platform.pumps, 6);
    EXPECT_EQ(swapsAtQuit, 5);
}

TEST(MainWindow, FailingWindowOrContextEndsNonZero) {
    ScriptedPlatform noWindow;
    noWindow.failWindow = true;
    testing::internal::CaptureStderr();
    EXPECT_NE(runViewer(noWindow, Generation::Current), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "kelvane: no display\n");

    ScriptedPlatform noGl;
    noGl.failGl = true;
    testing::internal::CaptureStderr();
    EXPECT_NE(runViewer(noGl, Generation::Legacy), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "kelvane-legacy: no GL\n");
    EXPECT_EQ(noGl.pumps, 0);
}

}  // namespace
}  // namespace kelvane
