#include "app/main_window.h"

#include <cstdio>
#include <string>

#include "app/commands.h"
#include "app/file_reload.h"
#include "app/menus.h"
#include "app/view_control.h"
#include "app/viewer_frame.h"
#include "app/window_title.h"
#include "render/gl_setup.h"
#include "render/scene_drawing.h"

namespace kelvane {

namespace {

using Handler = std::intptr_t (*)(Viewer&, platform::Window&, std::uintptr_t wParam, std::intptr_t lParam);

std::intptr_t onCreate(Viewer& viewer, platform::Window& window, std::uintptr_t, std::intptr_t) {
    // Creation messages arrive before the platform hands the window back.
    viewer.window = &window;
    rebuildMenuBar(viewer);  // "File" and "Help" only, nothing loaded yet
    return 1;
}

std::intptr_t onDestroy(Viewer& viewer, platform::Window&, std::uintptr_t, std::intptr_t) {
    viewer.platform.postQuit(0);
    return 1;
}

std::intptr_t onSize(Viewer& viewer, platform::Window&, std::uintptr_t, std::intptr_t lParam) {
    const auto packed = static_cast<std::uint32_t>(lParam);
    viewer.clientWidth = static_cast<int>(packed & 0xFFFF);
    viewer.clientHeight = static_cast<int>(packed >> 16);
    resizeViewport(viewer.generation, viewer.clientWidth, viewer.clientHeight);
    return 1;
}

std::intptr_t onClose(Viewer&, platform::Window& window, std::uintptr_t, std::intptr_t) {
    window.destroy();
    return 1;
}

// Every key is consumed, used or not. The View menu's keys work in both
// views; the others act on the view shown.
std::intptr_t onKey(Viewer& viewer, platform::Window&, std::uintptr_t wParam, std::intptr_t) {
    if (const int command = viewCommandOfKey(wParam))
        toggleViewMode(viewer, command);
    else if (viewer.modes.textureView)
        onTextureKey(viewer.textureView, wParam);
    else
        onKeyDown(viewer.view, viewer.generation, wParam);
    return 1;
}

std::intptr_t onCommand(Viewer& viewer, platform::Window&, std::uintptr_t wParam, std::intptr_t) {
    return handleCommand(viewer, wParam);
}

std::intptr_t ignore(Viewer&, platform::Window&, std::uintptr_t, std::intptr_t) { return 1; }

// A drag turns the model, or pans the texture view; either way it draws its
// frame at once, not waiting for the loop. The pointer is remembered in both
// views for the texture view's wheel.
std::intptr_t onMouse(Viewer& viewer, platform::Window& window, std::uintptr_t wParam, std::intptr_t lParam) {
    const MouseSample sample = mouseSample(wParam, lParam);
    const bool textureView = viewer.modes.textureView;
    const bool panned = onTextureMouseMove(viewer.textureView, textureView ? sample : MouseSample{false, sample.x, sample.y});
    if (textureView ? panned : onMouseMove(viewer.view, sample)) {
        if (drawViewerFrame(viewer)) viewer.frameNeeded = true;
        window.swapBuffers();
    }
    return 1;
}

std::intptr_t onWheel(Viewer& viewer, platform::Window&, std::uintptr_t wParam, std::intptr_t) {
    if (viewer.modes.textureView)
        onTextureWheel(viewer.textureView, wheelDelta(wParam), viewer.clientWidth, viewer.clientHeight);
    else
        onMouseWheel(viewer.view, viewer.generation, wheelDelta(wParam));
    return 1;
}

// Files dropped on the window open as if named on the command line (a model
// dropped alone brings its archive); files of any other kind are left alone.
std::intptr_t onDropFiles(Viewer& viewer, platform::Window& window, std::uintptr_t, std::intptr_t) {
    openFiles(viewer, window.takeDroppedFiles());
    return 1;
}

struct Route {
    std::uint32_t message;
    Handler handler;
    // Whether the frame loop draws after the message. A drag draws its own
    // frame at once; a menu opening or closing leaves the picture as it is.
    bool draws;
};

constexpr Route kRoutes[] = {
    {platform::msg::Create, onCreate, true},        {platform::msg::Destroy, onDestroy, false},
    {platform::msg::Size, onSize, true},            {platform::msg::Close, onClose, true},
    {platform::msg::KeyDown, onKey, true},          {platform::msg::Command, onCommand, true},
    {platform::msg::MenuSelect, ignore, false},     {platform::msg::MouseMove, onMouse, false},
    {platform::msg::MouseWheel, onWheel, true},     {platform::msg::ExitMenuLoop, ignore, false},
    {platform::msg::Paint, ignore, true},           {platform::msg::DropFiles, onDropFiles, true},
};

int fail(Generation generation, const std::string& reason) {
    std::fprintf(stderr, "%s: %s\n", programName(generation), reason.c_str());
    return 1;
}

}  // namespace

// Positions and wheel deltas travel as signed 16-bit halves of a parameter.
MouseSample mouseSample(std::uintptr_t wParam, std::intptr_t lParam) {
    const auto position = static_cast<std::uintptr_t>(lParam);
    return {(wParam & platform::kLeftButtonDown) != 0, static_cast<double>(static_cast<std::int16_t>(position & 0xFFFF)),
            static_cast<double>(static_cast<std::int16_t>((position >> 16) & 0xFFFF))};
}

int wheelDelta(std::uintptr_t wParam) { return static_cast<std::int16_t>((wParam >> 16) & 0xFFFF); }

std::intptr_t mainWindowProc(Viewer& viewer, platform::Window& window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    for (const Route& route : kRoutes) {
        if (route.message != message) continue;
        if (route.draws) viewer.frameNeeded = true;
        return route.handler(viewer, window, wParam, lParam);
    }
    return 0;  // default handling: nothing to do
}

int runViewer(platform::Platform& platform, Generation generation, const ViewerOptions& options) {
    // The texture store and its pixel buffer exist before the window.
    Viewer viewer(generation, platform);
    viewer.follower.enabled = options.followFiles;
    if (options.followFiles) viewer.follower.watch = platform.folderWatch();

    bool glReady = false;
    bool projectionSet = false;
    auto procedure = [&](platform::Window& window, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam) -> std::intptr_t {
        // Size messages before the GL context exists have nothing to set.
        if (message == platform::msg::Size) {
            if (!glReady) return 1;
            projectionSet = true;
        }
        return mainWindowProc(viewer, window, message, wParam, lParam);
    };

    auto created = platform.createMainWindow(windowTitle(generation), programName(generation), 512, 512, procedure);
    if (!created) return fail(generation, created.problem().what);
    std::unique_ptr<platform::Window> window = std::move(*created);
    viewer.window = window.get();

    if (Outcome context = window->makeGlContext(); !context) return fail(generation, context.problem().what);
    initGl(generation);
    glReady = true;

    window->show();
    if (!projectionSet) {
        const platform::ClientSize size = window->clientSize();
        viewer.clientWidth = size.width, viewer.clientHeight = size.height;
        resizeViewport(generation, size.width, size.height);
    }
    if (options.imagesByName) toggleViewMode(viewer, cmd::ImagesByName);
    openFiles(viewer, options.files);
    // Sets the fit values before the first frame; no clear, no swap.
    keepFit(viewer.view, drawScene(generation, viewer.scene, viewerImages(viewer), viewer.textureCache));

    // One message a pass, then a frame if anything changed the picture;
    // with nothing to do, sleep until a message or a notice of a change
    // comes, or a followed file is due to be checked.
    while (platform.pumpMessage()) {
        for (const auto& change : viewer.follower.changesAt(FileFollower::Clock::now()))
            if (reloadFile(viewer, change.kind, change.path)) viewer.frameNeeded = true;
        if (viewer.frameNeeded) {
            viewer.frameNeeded = drawViewerFrame(viewer);
            window->swapBuffers();
            refreshWindowTitle(viewer);
            continue;
        }
        platform.waitForMessage(viewer.follower.untilNextCheck(FileFollower::Clock::now()));
    }
    return 0;
}

}  // namespace kelvane
