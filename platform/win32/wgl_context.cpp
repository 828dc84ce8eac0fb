#include <windows.h>

#include <string>

#include "platform/win32/win32_window.h"

namespace kelvane::platform::win32 {

namespace {
// RGBA, 24 colour bits, 16 depth bits, double-buffered, drawn to a window;
// every other field zero.
PIXELFORMATDESCRIPTOR pixelFormatRequest() {
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 24;
    request.cDepthBits = 16;
    return request;
}

// Syncs buffer swaps to the display where the driver offers the extension,
// so the never-waiting frame loop does not spin the GPU flat out.
void enableSwapInterval() {
    using SwapIntervalProc = BOOL(WINAPI*)(int);
    auto proc = reinterpret_cast<SwapIntervalProc>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    if (proc) proc(1);
}
}  // namespace

Result<HGLRC> createCurrentWglContext(HDC deviceContext) {
    const PIXELFORMATDESCRIPTOR request = pixelFormatRequest();
    const int format = ChoosePixelFormat(deviceContext, &request);
    if (format == 0) return lastError("ChoosePixelFormat found no RGBA double-buffered format");
    if (!SetPixelFormat(deviceContext, format, &request)) return lastError("SetPixelFormat failed");
    HGLRC renderContext = wglCreateContext(deviceContext);
    if (!renderContext) return lastError("wglCreateContext failed");
    if (!wglMakeCurrent(deviceContext, renderContext)) {
        ReadProblem problem = lastError("wglMakeCurrent failed");  // before the clean-up sets another error
        wglDeleteContext(renderContext);
        return problem;
    }
    return renderContext;
}

Outcome createWglContext(Win32Window& window) {
    static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40);
    if (!window.handle()) return lastError("the window is gone");
    HDC deviceContext = GetDC(window.handle());
    if (!deviceContext) return lastError("GetDC failed");
    const Result<HGLRC> made = createCurrentWglContext(deviceContext);
    if (!made) return made.problem();
    // The context and the device context live as long as the process.
    window.setDeviceContext(deviceContext);
    enableSwapInterval();
    return Done{};
}

}  // namespace kelvane::platform::win32
