#include "platform/egl/offscreen_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstring>

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

Result<std::unique_ptr<OffscreenContext>> OffscreenContext::create(int width, int height) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return failure("offscreen size must be between 1 and 16384 pixels a side");
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
    std::unique_ptr<OffscreenContext> result(new OffscreenContext);
    result->display_ = display;
    result->surface_ = surface;
    result->context_ = context;
    result->width_ = width;
    result->height_ = height;
    if (!result->makeCurrent()) return eglFailure("cannot make the offscreen context current");
    return result;
}

OffscreenContext::~OffscreenContext() {
    if (eglGetCurrentContext() == context_) eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_) eglDestroyContext(display_, context_);
    if (surface_) eglDestroySurface(display_, surface_);
}

bool OffscreenContext::makeCurrent() {
    return eglMakeCurrent(display_, surface_, surface_, context_) == EGL_TRUE;
}

std::vector<std::uint8_t> OffscreenContext::readPixels() const {
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * 4;
    std::vector<std::uint8_t> bottomUp(rowBytes * height_);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    // GL's row 0 is the bottom one; pictures start at the top.
    std::vector<std::uint8_t> topDown(bottomUp.size());
    for (int y = 0; y < height_; ++y)
        std::memcpy(&topDown[static_cast<std::size_t>(y) * rowBytes],
                    &bottomUp[static_cast<std::size_t>(height_ - 1 - y) * rowBytes], rowBytes);
    return topDown;
}

}  // namespace kelvane::platform
