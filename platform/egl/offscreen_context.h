#pragma once

// An offscreen GL context with no window system: Mesa's surfaceless EGL
// platform, a compatibility-profile OpenGL context and a pbuffer to draw in.
// Used by the tests and by kelvane-inspect's rendering.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/result.h"

namespace kelvane::platform {

class OffscreenContext {
public:
    // A current context drawing into a width x height RGBA8 pbuffer with a
    // depth buffer of at least 16 bits; a one-line reason on failure.
    static Result<std::unique_ptr<OffscreenContext>> create(int width, int height);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    // Makes this context current again (after another one was).
    bool makeCurrent();
    // The pbuffer's pixels as RGBA bytes, top row first.
    std::vector<std::uint8_t> readPixels() const;

private:
    OffscreenContext() = default;
    void* display_ = nullptr;
    void* surface_ = nullptr;
    void* context_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace kelvane::platform
