#include "app/main_window.h"

#include <cstdio>
#include <string>

#include "app/commands.h"
#include "app/menus.h"
#include "app/view_control.h"
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
    resizeViewport(viewer.generation, static_cast<int>(packed & 0xFFFF), static_cast<int>(packed >> 16));
    return 1;
}

std::intptr_t onClose(Viewer&, platform::Window& window, std::uintptr_t, std::intptr_t) {
    window.destroy();
    return 1;
}

std::intptr_t onKey(Viewer& viewer, platform::Window&, std::uintptr_t wParam, std::intptr_t) {
    onKeyDown(viewer, wParam);  // every key is consumed, used or not
    return 1;
}

std::intptr_t onCommand(Viewer& viewer, platform::Window&, std::uintptr_t wParam, std::intptr_t) {
    return handleCommand(viewer, wParam);
}

std::intptr_t ignore(Viewer&, platform::Window&, std::uintptr_t, std::intptr_t) { return 1; }

std::intptr_t onMouse(Viewer& viewer, platform::Window& window, std::uintptr_t wParam, std::intptr_t lParam) {
    // A drag draws its frame at once, not waiting for the loop.
    if (onMouseMove(viewer, wParam, lParam)) {
        drawViewFrame(viewer.generation, viewer.scene, viewer.textures, viewer.view);
        window.swapBuffers();
    }
    return 1;
}

std::intptr_t onWheel(Viewer& viewer, platform::Window&, std::uintptr_t wParam, std::intptr_t) {
    onMouseWheel(viewer, wParam);
    return 1;
}

struct Route {
    std::uint32_t message;
    Handler handler;
};

constexpr Route kRoutes[] = {
    {platform::msg::Create, onCreate},         {platform::msg::Destroy, onDestroy},
    {platform::msg::Size, onSize},             {platform::msg::Close, onClose},
    {platform::msg::KeyDown, onKey},           {platform::msg::Command, onCommand},
    {platform::msg::MenuSelect, ignore},       {platform::msg::MouseMove, onMouse},
    {platform::msg::MouseWheel, onWheel},      {platform::msg::ExitMenuLoop, ignore},
};

const char* programName(Generation generation) {
    return generation == Generation::Legacy ? "kelvane-legacy" : "kelvane";
}

int fail(Generation generation, const std::string& reason) {
    std::fprintf(stderr, "%s: %s\n", programName(generation), reason.c_str());
    return 1;
}

}  // namespace

std::intptr_t mainWindowProc(Viewer& viewer, platform::Window& window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    for (const Route& route : kRoutes)
        if (route.message == message) return route.handler(viewer, window, wParam, lParam);
    return 0;  // default handling: nothing to do
}

int runViewer(platform::Platform& platform, Generation generation) {
    // The texture store and its pixel buffer exist before the window.
    Viewer viewer(generation, platform);

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

    std::string error;
    std::unique_ptr<platform::Window> window =
        platform.createMainWindow(windowTitle(generation), 512, 512, procedure, &error);
    if (!window) return fail(generation, error.empty() ? "cannot create the main window" : error);
    viewer.window = window.get();

    if (!platform.createGlContext(*window, &error))
        return fail(generation, error.empty() ? "cannot create the OpenGL context" : error);
    initGl(generation);
    glReady = true;

    platform.showWindow(*window);
    if (!projectionSet) {
        const platform::ClientSize size = window->clientSize();
        resizeViewport(generation, size.width, size.height);
    }
    // Sets the fit values before the first frame; no clear, no swap.
    keepFit(viewer.view, drawScene(generation, viewer.scene, shownImage(viewer.textures)));

    while (platform.pumpMessage()) {
        drawViewFrame(generation, viewer.scene, viewer.textures, viewer.view);
        window->swapBuffers();
    }
    return 0;
}

}  // namespace kelvane
