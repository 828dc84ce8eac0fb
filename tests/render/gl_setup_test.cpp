// The projection, read back from GL itself.
#include "render/gl_setup.h"

#include <gtest/gtest.h>

#include <array>

#include "render/gl.h"
#include "tests/render/offscreen_picture.h"

namespace kelvane {
namespace {

using Floats = std::array<GLfloat, 4>;

std::array<GLdouble, 16> projectionMatrix() {
    std::array<GLdouble, 16> m{};
    glGetDoublev(GL_PROJECTION_MATRIX, m.data());
    return m;
}

// The width over height the projection was set up for, from GL's own matrix.
double projectedAspect() {
    const auto m = projectionMatrix();
    return m[5] / m[0];
}

std::unique_ptr<platform::OffscreenContext> context() {
    std::string error;
    return platform::OffscreenContext::create(64, 64, &error);
}

TEST(GlSetup, ProjectionFollowsTheClientSize) {
    auto gl = context();
    KELVANE_NEED_GL(gl);
    // The legacy viewport sits 10 pixels low and takes the
    // aspect in whole numbers (never 0 when taller than wide).
    struct Case {
        Generation generation;
        int width, height, viewportY;
        double aspect;
    };
    for (const auto& c : {Case{Generation::Current, 640, 480, 0, 640.0 / 480.0},
                          Case{Generation::Current, 1000, 300, 0, 1000.0 / 300.0},
                          Case{Generation::Legacy, 640, 480, -10, 1.0}, Case{Generation::Legacy, 1100, 500, -10, 2.0},
                          Case{Generation::Legacy, 100, 400, -10, 1.0}}) {
        SCOPED_TRACE(c.width);
        initGl(c.generation);
        resizeViewport(c.generation, c.width, c.height);
        Floats viewport{};
        glGetFloatv(GL_VIEWPORT, viewport.data());
        EXPECT_EQ(viewport, (Floats{0, GLfloat(c.viewportY), GLfloat(c.width), GLfloat(c.height)}));
        EXPECT_NEAR(projectedAspect(), c.aspect, 1e-6);
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
    }
}

TEST(GlSetup, EmptyClientAreaKeepsTheLastProjection) {
    auto gl = context();
    KELVANE_NEED_GL(gl);
    for (Generation generation : {Generation::Current, Generation::Legacy}) {
        initGl(generation);
        resizeViewport(generation, 300, 200);
        const auto before = projectionMatrix();
        for (auto [w, h] : {std::pair{300, 0}, {0, 0}}) {  // minimised
            resizeViewport(generation, w, h);
            EXPECT_EQ(projectionMatrix(), before);
        }
        resizeViewport(generation, 200, 200);  // restored: follows the size again
        EXPECT_NEAR(projectedAspect(), 1.0, 1e-6);
    }
}

}  // namespace
}  // namespace kelvane
