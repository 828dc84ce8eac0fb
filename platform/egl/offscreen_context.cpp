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
EGLDisplay surfacelessDisplay(std::string* error) {
    static EGLDisplay display = EGL_NO_DISPLAY;
    static bool tried = false;
    if (tried) {
        if (display == EGL_NO_DISPLAY && error) *error = "no surfaceless EGL display";
        return display;
    }
    tried = true;
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        if (error) *error = "EGL has no eglGetPlatformDisplayEXT";
        return EGL_NO_DISPLAY;
    }
    EGLDisplay candidate = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (candidate == EGL_NO_DISPLAY || !eglInitialize(candidate, nullptr, nullptr)) {
        if (error) *error = "cannot open the surfaceless EGL display (Mesa)";
        return EGL_NO_DISPLAY;
    }
    display = candidate;
    return display;
}

bool fail(std::string* error, const char* what) {
    if (error) *error = std::string(what) + " (EGL error 0x" + [] {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(eglGetError()));
        return std::string(buffer);
    }() + ")";
    return false;
}

}  // namespace

std::unique_ptr<OffscreenContext> OffscreenContext::create(int width, int height, std::string* error) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        if (error) *error = "offscreen size must be between 1 and 16384 pixels a side";
        return nullptr;
    }
    EGLDisplay display = surfacelessDisplay(error);
    if (display == EGL_NO_DISPLAY) return nullptr;
    if (!eglBindAPI(EGL_OPENGL_API)) return fail(error, "EGL cannot bind the OpenGL API"), nullptr;

    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,     8,               EGL_GREEN_SIZE,      8,
                                       EGL_BLUE_SIZE,    8,               EGL_ALPHA_SIZE,      8,
                                       EGL_DEPTH_SIZE,   16,              EGL_NONE};
    EGLConfig config = nullptr;
    EGLint found = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &found) || found < 1)
        return fail(error, "no RGBA8 pbuffer configuration with a depth buffer"), nullptr;

    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) return fail(error, "cannot create the pbuffer"), nullptr;

    // Fixed-function drawing needs the compatibility profile.
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                       EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        fail(error, "cannot create a compatibility OpenGL context");
        eglDestroySurface(display, surface);
        return nullptr;
    }
    std::unique_ptr<OffscreenContext> result(new OffscreenContext);
    result->display_ = display;
    result->surface_ = surface;
    result->context_ = context;
    result->width_ = width;
    result->height_ = height;
    if (!result->makeCurrent()) {
        fail(error, "cannot make the offscreen context current");
        return nullptr;
    }
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
