// The projection, read back from GL itself.
#include "render/gl_setup.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

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

// The perspective matrix of a vertical field of view of 45 degrees, worked
// out from its definition (column-major as GL returns it).
void expectPerspective(double aspect, double zFar) {
    const auto m = projectionMatrix();
    const double f = 1.0 / std::tan(22.5 * std::numbers::pi / 180.0), zNear = 1.0;
    EXPECT_NEAR(m[0], f / aspect, 1e-5);
    EXPECT_NEAR(m[5], f, 1e-5);
    EXPECT_NEAR(m[10], (zFar + zNear) / (zNear - zFar), 1e-5);
    EXPECT_NEAR(m[11], -1.0, 1e-9);
    EXPECT_NEAR(m[14], 2.0 * zFar * zNear / (zNear - zFar), 1e-3);
    for (double v : m) EXPECT_TRUE(std::isfinite(v));
}

std::unique_ptr<platform::OffscreenContext> context() {
    std::string error;
    return platform::OffscreenContext::create(64, 64, &error);
}

TEST(GlSetup, ProjectionFollowsTheClientSize) {
    auto gl = context();
    KELVANE_NEED_GL(gl);
    // The legacy viewport sits 10 pixels low, sees less far and takes the
    // aspect in whole numbers (never 0 when taller than wide).
    struct Case {
        Generation generation;
        int width, height, viewportY;
        double aspect, zFar;
    };
    for (const auto& c : {Case{Generation::Current, 640, 480, 0, 640.0 / 480.0, 100000.0},
                          Case{Generation::Current, 1000, 300, 0, 1000.0 / 300.0, 100000.0},
                          Case{Generation::Legacy, 640, 480, -10, 1.0, 2000.0},
                          Case{Generation::Legacy, 1100, 500, -10, 2.0, 2000.0},
                          Case{Generation::Legacy, 100, 400, -10, 1.0, 2000.0}}) {
        SCOPED_TRACE(c.width);
        initGl(c.generation);
        resizeViewport(c.generation, c.width, c.height);
        Floats viewport{};
        glGetFloatv(GL_VIEWPORT, viewport.data());
        EXPECT_EQ(viewport, (Floats{0, GLfloat(c.viewportY), GLfloat(c.width), GLfloat(c.height)}));
        expectPerspective(c.aspect, c.zFar);
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
        expectPerspective(1.0, generation == Generation::Legacy ? 2000.0 : 100000.0);
    }
}

}  // namespace
}  // namespace kelvane
