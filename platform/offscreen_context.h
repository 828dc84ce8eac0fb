#pragma once

// An offscreen GL context: a current OpenGL context with a compatibility
// profile, drawing into a framebuffer no window shows. Used by the tests and
// by kelvane-inspect's rendering. One interface, one backend per system,
// chosen by the build: platform/egl/ (Mesa's surfaceless EGL and a pbuffer)
// and platform/win32/ (WGL in a hidden window, drawing into a framebuffer
// object).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/result.h"

namespace kelvane::platform {

class OffscreenContext {
public:
    // A current context drawing into a width x height RGBA buffer of 8 bits
    // a channel with a depth buffer of at least 16 bits; a one-line reason,
    // with the system's own words, on failure.
    static Result<std::unique_ptr<OffscreenContext>> create(int width, int height);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    // Makes this context current again (after another one was).
    bool makeCurrent();
    // The drawn pixels as RGBA bytes, top row first. Where the system has
    // only a buffer without alpha (Windows without framebuffer objects: the
    // hidden window's), alpha reads as 255.
    std::vector<std::uint8_t> readPixels() const;

private:
    struct Native;  // the backend's handles
    OffscreenContext(std::unique_ptr<Native> native, int width, int height);
    // The size check every backend makes first.
    static Outcome checkSize(int width, int height);

    std::unique_ptr<Native> native_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace kelvane::platform
