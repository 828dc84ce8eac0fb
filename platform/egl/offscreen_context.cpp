// The offscreen context on Linux: Mesa's surfaceless EGL platform, a
// compatibility-profile OpenGL context and a pbuffer to draw in.
#include "platform/offscreen_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>

namespace kelvane::platform {

namespace {

// The surfaceless display is opened once and kept for the process: EGL
// displays are shared, so terminating it would end other contexts too.
Result<EGLDisplay> surfacelessDisplay() {
    static EGLDisplay display = EGL_NO_DISPLAY;
    static bool tried = false;
    if (tried) {
        if (display == EGL_NO_DISPLAY) return failure("no surfaceless EGL display");
        return display;
    }
    tried = true;
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return failure("EGL has no eglGetPlatformDisplayEXT");
    EGLDisplay candidate = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (candidate == EGL_NO_DISPLAY || !eglInitialize(candidate, nullptr, nullptr))
        return failure("cannot open the surfaceless EGL display (Mesa)");
    display = candidate;
    return display;
}

// What failed, with EGL's own error code.
ReadProblem eglFailure(const char* what) {
    char code[16];
    std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(eglGetError()));
    return failure(std::string(what) + " (EGL error 0x" + code + ")");
}

}  // namespace

struct OffscreenContext::Native {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};

OffscreenContext::OffscreenContext(std::unique_ptr<Native> native, int width, int height)
    : native_(std::move(native)), width_(width), height_(height) {}

Result<std::unique_ptr<OffscreenContext>> OffscreenContext::create(int width, int height) {
    if (const Outcome size = checkSize(width, height); !size) return size.problem();
    const Result<EGLDisplay> opened = surfacelessDisplay();
    if (!opened) return opened.problem();
    EGLDisplay display = *opened;
    if (!eglBindAPI(EGL_OPENGL_API)) return eglFailure("EGL cannot bind the OpenGL API");

    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,     8,               EGL_GREEN_SIZE,      8,
                                       EGL_BLUE_SIZE,    8,               EGL_ALPHA_SIZE,      8,
                                       EGL_DEPTH_SIZE,   16,              EGL_NONE};
    EGLConfig config = nullptr;
    EGLint found = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &found) || found < 1)
        return eglFailure("no RGBA8 pbuffer configuration with a depth buffer");

    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) return eglFailure("cannot create the pbuffer");

    // Fixed-function drawing needs the compatibility profile.
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                       EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        ReadProblem problem = eglFailure("cannot create a compatibility OpenGL context");
        eglDestroySurface(display, surface);
        return problem;
    }
    auto native = std::make_unique<Native>(Native{display, surface, context});
    std::unique_ptr<OffscreenContext> result(new OffscreenContext(std::move(native), width, height));
    if (!result->makeCurrent()) return eglFailure("cannot make the offscreen context current");
    return result;
}

OffscreenContext::~OffscreenContext() {
    const Native& n = *native_;
    if (eglGetCurrentContext() == n.context) eglMakeCurrent(n.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (n.context != EGL_NO_CONTEXT) eglDestroyContext(n.display, n.context);
    if (n.surface != EGL_NO_SURFACE) eglDestroySurface(n.display, n.surface);
}

bool OffscreenContext::makeCurrent() {
    return eglMakeCurrent(native_->display, native_->surface, native_->surface, native_->context) == EGL_TRUE;
}

}  // namespace kelvane::platform
