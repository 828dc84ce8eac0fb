#include <windows.h>

#include <string>

#include "platform/win32/win32_window.h"

namespace kelvane::platform::win32 {

namespace {
bool fail(std::string* error, const std::string& reason) {
    if (error) *error = withLastError(reason);
    return false;
}

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

bool createWglContext(Win32Window& window, std::string* error) {
    static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40);
    if (!window.handle()) return fail(error, "the window is gone");
    HDC deviceContext = GetDC(window.handle());
    if (!deviceContext) return fail(error, "GetDC failed");
    const PIXELFORMATDESCRIPTOR request = pixelFormatRequest();
    const int format = ChoosePixelFormat(deviceContext, &request);
    if (format == 0) return fail(error, "ChoosePixelFormat found no RGBA double-buffered format");
    if (!SetPixelFormat(deviceContext, format, &request)) return fail(error, "SetPixelFormat failed");
    HGLRC renderContext = wglCreateContext(deviceContext);
    if (!renderContext) return fail(error, "wglCreateContext failed");
    if (!wglMakeCurrent(deviceContext, renderContext)) {
        wglDeleteContext(renderContext);
        return fail(error, "wglMakeCurrent failed");
    }
    // The context and the device context live as long as the process.
    window.setDeviceContext(deviceContext);
    enableSwapInterval();
    return true;
}

}  // namespace kelvane::platform::win32
