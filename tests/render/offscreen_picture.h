#pragma once

// Offscreen GL for drawing tests: a surfaceless EGL context set up as the
// viewer sets up its window, and the picture it drew.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/generation.h"
#include "platform/egl/offscreen_context.h"
#include "render/gl_setup.h"

namespace kelvane::test {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;  // top row first
};

// A current offscreen context with the viewer's fixed state and projection,
// or null (and the test skipped) where this machine has no EGL.
inline std::unique_ptr<platform::OffscreenContext> viewerContext(Generation generation, int width, int height) {
    auto context = platform::OffscreenContext::create(width, height);
    if (!context) return nullptr;
    initGl(generation);
    resizeViewport(generation, width, height);
    return std::move(*context);
}

inline Picture grab(const platform::OffscreenContext& context) {
    return {context.width(), context.height(), context.readPixels()};
}

#define KELVANE_NEED_GL(context)                                   \
    if (!(context)) GTEST_SKIP() << "no offscreen EGL context here"

}  // namespace kelvane::test
