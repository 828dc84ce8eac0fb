// The offscreen context on Windows: WGL in a window that is never shown, with
// the viewer's pixel format. A hidden window owns no pixels on the screen, so
// what is drawn into its own buffers is undefined; drawing goes to a
// framebuffer object of exactly the asked size instead, and to the window's
// back buffer only where the driver has no framebuffer objects.
#include "platform/offscreen_context.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "platform/win32/win32_window.h"

namespace kelvane::platform {

namespace {

constexpr wchar_t kClassName[] = L"KelvaneOffscreen";

// The entry points of GL 3.0 (or ARB_framebuffer_object) and of
// EXT_framebuffer_object: the same signatures and constants, other names.
struct FramebufferProcs {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
};

template <typename Proc>
bool load(Proc& proc, const char* name, const char* suffix) {
    const std::string full = std::string(name) + suffix;
    PROC found = wglGetProcAddress(full.c_str());
    // Some drivers answer a missing name with a small number, not null.
    const auto value = reinterpret_cast<std::intptr_t>(found);
    if (value >= -1 && value <= 3) return false;
    proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(found));
    return true;
}

bool hasExtension(const char* name) {
    const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const std::size_t length = std::strlen(name);
    for (const char* at = list; at && (at = std::strstr(at, name)); at += length)
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) return true;
    return false;
}

// Of the current context; nothing where it has neither GL 3.0 nor either
// extension.
std::optional<FramebufferProcs> framebufferProcs() {
    int major = 0;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version) std::sscanf(version, "%d", &major);
    const char* suffix = nullptr;
    if (major >= 3 || hasExtension("GL_ARB_framebuffer_object"))
        suffix = "";
    else if (hasExtension("GL_EXT_framebuffer_object"))
        suffix = "EXT";
    else
        return std::nullopt;
    FramebufferProcs p;
    if (load(p.genFramebuffers, "glGenFramebuffers", suffix) && load(p.bindFramebuffer, "glBindFramebuffer", suffix) &&
        load(p.genRenderbuffers, "glGenRenderbuffers", suffix) &&
        load(p.bindRenderbuffer, "glBindRenderbuffer", suffix) &&
        load(p.renderbufferStorage, "glRenderbufferStorage", suffix) &&
        load(p.framebufferRenderbuffer, "glFramebufferRenderbuffer", suffix) &&
        load(p.checkFramebufferStatus, "glCheckFramebufferStatus", suffix))
        return p;
    return std::nullopt;
}

std::string hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

// GL's words for what went wrong: the error or the framebuffer status.
std::string glWords(GLenum code) {
    switch (code) {
        case GL_INVALID_ENUM: return "GL_INVALID_ENUM";
        case GL_INVALID_VALUE: return "GL_INVALID_VALUE";
        case GL_INVALID_OPERATION: return "GL_INVALID_OPERATION";
        case GL_OUT_OF_MEMORY: return "GL_OUT_OF_MEMORY";
        case GL_FRAMEBUFFER_UNSUPPORTED: return "GL_FRAMEBUFFER_UNSUPPORTED";
        case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT: return "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT";
        case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT: return "GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT";
        default: return hex(code);
    }
}

// A framebuffer object of width x height with the viewer's window's 24
// colour and 16 depth bits, bound for drawing and reading. Its colour has
// alpha too, as the EGL pbuffer's has: a thumbnail's background is clear.
Outcome bindFramebufferObject(const FramebufferProcs& procs, int width, int height) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (width > largest || height > largest)
        return failure("the driver's framebuffer objects are at most " + std::to_string(largest) +
                       " pixels a side");
    GLuint framebuffer = 0, colour = 0, depth = 0;
    procs.genFramebuffers(1, &framebuffer);
    procs.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    procs.genRenderbuffers(1, &colour);
    procs.bindRenderbuffer(GL_RENDERBUFFER, colour);
    procs.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    procs.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    procs.genRenderbuffers(1, &depth);
    procs.bindRenderbuffer(GL_RENDERBUFFER, depth);
    procs.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
    procs.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    if (const GLenum error = glGetError(); error != GL_NO_ERROR)
        return failure("cannot make a " + std::to_string(width) + "x" + std::to_string(height) +
                       " framebuffer object (" + glWords(error) + ")");
    if (const GLenum status = procs.checkFramebufferStatus(GL_FRAMEBUFFER); status != GL_FRAMEBUFFER_COMPLETE)
        return failure("the framebuffer object is incomplete (" + glWords(status) + ")");
    // The framebuffer and its renderbuffers go with the context.
    return Done{};
}

// The hidden window's back buffer, as large as its client area.
Outcome useBackBuffer(HWND window, int width, int height) {
    RECT client{};
    if (!GetClientRect(window, &client)) return win32::lastError("GetClientRect failed");
    if (client.right != width || client.bottom != height)
        return failure("no framebuffer objects, and the hidden window is " + std::to_string(client.right) + "x" +
                       std::to_string(client.bottom) + ", not " + std::to_string(width) + "x" +
                       std::to_string(height));
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    return Done{};
}

}  // namespace

// Made step by step; whatever was made is released, last first.
struct OffscreenContext::Native {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND window = nullptr;
    HDC deviceContext = nullptr;
    HGLRC renderContext = nullptr;

    Native() = default;
    Native(const Native&) = delete;
    Native& operator=(const Native&) = delete;
    ~Native() {
        if (renderContext) {
            if (wglGetCurrentContext() == renderContext) wglMakeCurrent(nullptr, nullptr);
            wglDeleteContext(renderContext);
        }
        if (deviceContext) ReleaseDC(window, deviceContext);
        if (window) DestroyWindow(window);
        // Refused while another offscreen context's window uses the class.
        UnregisterClassW(kClassName, instance);
    }

    // A hidden window of this client size with the viewer's pixel format,
    // and a GL context current on it.
    Outcome open(int width, int height);
};

Outcome OffscreenContext::Native::open(int width, int height) {
    WNDCLASSW windowClass{};
    windowClass.style = CS_OWNDC;  // one device context for the window's life, as GL wants
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return win32::lastError("RegisterClassW failed");
    window = CreateWindowExW(0, kClassName, L"Kelvane offscreen", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                             width, height, nullptr, nullptr, instance, nullptr);
    if (!window) return win32::lastError("CreateWindowExW failed for the hidden window");
    deviceContext = GetDC(window);
    if (!deviceContext) return win32::lastError("GetDC failed");
    const Result<HGLRC> context = win32::createCurrentWglContext(deviceContext);
    if (!context) return context.problem();
    renderContext = *context;
    return Done{};
}

OffscreenContext::OffscreenContext(std::unique_ptr<Native> native, int width, int height)
    : native_(std::move(native)), width_(width), height_(height) {}

OffscreenContext::~OffscreenContext() = default;

Result<std::unique_ptr<OffscreenContext>> OffscreenContext::create(int width, int height) {
    if (const Outcome size = checkSize(width, height); !size) return size.problem();
    // The window is never shown. Where the driver has framebuffer objects it
    // needs no size of its own.
    auto native = std::make_unique<Native>();
    if (const Outcome opened = native->open(1, 1); !opened) return opened.problem();
    if (const std::optional<FramebufferProcs> procs = framebufferProcs()) {
        if (const Outcome bound = bindFramebufferObject(*procs, width, height); !bound) return bound.problem();
    } else {
        // Made again at the full size: Wine's WGL keeps a hidden window's
        // first buffers when the window is resized.
        native.reset();
        native = std::make_unique<Native>();
        if (const Outcome opened = native->open(width, height); !opened) return opened.problem();
        if (const Outcome back = useBackBuffer(native->window, width, height); !back) return back.problem();
    }
    return std::unique_ptr<OffscreenContext>(new OffscreenContext(std::move(native), width, height));
}

bool OffscreenContext::makeCurrent() {
    return wglMakeCurrent(native_->deviceContext, native_->renderContext) == TRUE;
}

}  // namespace kelvane::platform
