// The fixed GL state and the projection, read back from GL itself.
#include "render/gl_setup.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

#include "render/gl.h"
#include "tests/render/offscreen_picture.h"

namespace kelvane {
namespace {

std::array<GLfloat, 4> floats4(GLenum name) {
    std::array<GLfloat, 4> v{};
    glGetFloatv(name, v.data());
    return v;
}
std::array<GLfloat, 4> light4(GLenum light, GLenum name) {
    std::array<GLfloat, 4> v{};
    glGetLightfv(light, name, v.data());
    return v;
}
std::array<GLdouble, 16> projectionMatrix() {
    std::array<GLdouble, 16> m{};
    glGetDoublev(GL_PROJECTION_MATRIX, m.data());
    return m;
}
GLint integer(GLenum name) {
    GLint v = 0;
    glGetIntegerv(name, &v);
    return v;
}

// The perspective matrix of a vertical field of view of 45 degrees, worked
// out from its definition (column-major as GL returns it).
void expectPerspective(const std::array<GLdouble, 16>& m, double aspect, double zNear, double zFar) {
    const double f = 1.0 / std::tan(22.5 * std::numbers::pi / 180.0);
    EXPECT_NEAR(m[0], f / aspect, 1e-5);
    EXPECT_NEAR(m[5], f, 1e-5);
    EXPECT_NEAR(m[10], (zFar + zNear) / (zNear - zFar), 1e-5);
    EXPECT_NEAR(m[11], -1.0, 1e-9);
    EXPECT_NEAR(m[14], 2.0 * zFar * zNear / (zNear - zFar), 1e-3);
}

TEST(GlSetup, CurrentGenerationFixedState) {
    std::string error;
    auto context = platform::OffscreenContext::create(64, 64, &error);
    KELVANE_NEED_GL(context);
    // Whatever the model-view matrix was, the lights must be placed in eye space.
    glMatrixMode(GL_MODELVIEW);
    glTranslated(5, 6, 7);
    initGl(Generation::Current);

    EXPECT_EQ(floats4(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0.1f, 0.1f, 0.1f, 1.0f}));
    for (GLenum on : {GL_COLOR_MATERIAL, GL_DEPTH_TEST, GL_ALPHA_TEST, GL_NORMALIZE, GL_LIGHT0, GL_LIGHT1, GL_BLEND,
                      GL_POINT_SMOOTH, GL_LINE_SMOOTH, GL_POLYGON_SMOOTH})
        EXPECT_TRUE(glIsEnabled(on)) << "capability 0x" << std::hex << on;
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_FACE), GL_FRONT_AND_BACK);
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_PARAMETER), GL_AMBIENT_AND_DIFFUSE);
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(integer(GL_ALPHA_TEST_FUNC), GL_GREATER);
    EXPECT_FLOAT_EQ(floats4(GL_ALPHA_TEST_REF)[0], 0.1f);
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_ONE);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ZERO);
    EXPECT_EQ(integer(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(integer(GL_POLYGON_SMOOTH_HINT), GL_NICEST);

    EXPECT_EQ(light4(GL_LIGHT0, GL_AMBIENT), (std::array<GLfloat, 4>{0.2f, 0.2f, 0.2f, 1.0f}));
    EXPECT_EQ(light4(GL_LIGHT0, GL_POSITION), (std::array<GLfloat, 4>{0, 0, 0, 1}));
    EXPECT_EQ(light4(GL_LIGHT1, GL_AMBIENT), (std::array<GLfloat, 4>{0.3f, 0.3f, 0.3f, 1.0f}));
    EXPECT_EQ(light4(GL_LIGHT1, GL_POSITION), (std::array<GLfloat, 4>{0, 0, 1, 1}));
    // Light 1 adds only its ambient term.
    EXPECT_EQ(light4(GL_LIGHT1, GL_DIFFUSE), (std::array<GLfloat, 4>{0, 0, 0, 1}));
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
}

TEST(GlSetup, LegacyGenerationHasNoLightsAndBlendsByAlpha) {
    std::string error;
    auto context = platform::OffscreenContext::create(64, 64, &error);
    KELVANE_NEED_GL(context);
    initGl(Generation::Legacy);

    EXPECT_EQ(floats4(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0.3f, 0.3f, 0.3f, 1.0f}));
    for (GLenum off : {GL_NORMALIZE, GL_LIGHT0, GL_LIGHT1, GL_LIGHTING})
        EXPECT_FALSE(glIsEnabled(off)) << "capability 0x" << std::hex << off;
    for (GLenum on : {GL_COLOR_MATERIAL, GL_DEPTH_TEST, GL_ALPHA_TEST, GL_BLEND, GL_POLYGON_SMOOTH})
        EXPECT_TRUE(glIsEnabled(on)) << "capability 0x" << std::hex << on;
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(integer(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
}

TEST(GlSetup, ProjectionFollowsTheClientSize) {
    std::string error;
    auto context = platform::OffscreenContext::create(64, 64, &error);
    KELVANE_NEED_GL(context);
    initGl(Generation::Current);

    resizeViewport(Generation::Current, 640, 480);
    EXPECT_EQ(floats4(GL_VIEWPORT), (std::array<GLfloat, 4>{0, 0, 640, 480}));
    expectPerspective(projectionMatrix(), 640.0 / 480.0, 1.0, 100000.0);
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);

    // A wider window sees more to the sides: the vertical scale is unchanged.
    resizeViewport(Generation::Current, 1000, 300);
    expectPerspective(projectionMatrix(), 1000.0 / 300.0, 1.0, 100000.0);
}

TEST(GlSetup, LegacyProjectionSitsLowSeesLessFarAndUsesWholeAspect) {
    std::string error;
    auto context = platform::OffscreenContext::create(64, 64, &error);
    KELVANE_NEED_GL(context);
    initGl(Generation::Legacy);

    resizeViewport(Generation::Legacy, 640, 480);
    EXPECT_EQ(floats4(GL_VIEWPORT), (std::array<GLfloat, 4>{0, -10, 640, 480}));
    expectPerspective(projectionMatrix(), 1.0, 1.0, 2000.0);  // 640 / 480 in whole numbers
    resizeViewport(Generation::Legacy, 1100, 500);
    expectPerspective(projectionMatrix(), 2.0, 1.0, 2000.0);
}

TEST(GlSetup, EmptyOrNarrowClientAreaNeverLeavesANonFiniteProjection) {
    std::string error;
    auto context = platform::OffscreenContext::create(64, 64, &error);
    KELVANE_NEED_GL(context);
    for (Generation generation : {Generation::Current, Generation::Legacy}) {
        initGl(generation);
        resizeViewport(generation, 300, 200);
        const auto before = projectionMatrix();
        // Minimised: height 0, and both 0.
        resizeViewport(generation, 300, 0);
        EXPECT_EQ(projectionMatrix(), before);
        resizeViewport(generation, 0, 0);
        EXPECT_EQ(projectionMatrix(), before);
        // Restored: the projection follows the size again.
        resizeViewport(generation, 200, 200);
        expectPerspective(projectionMatrix(), 1.0, 1.0, generation == Generation::Legacy ? 2000.0 : 100000.0);
    }
    // Taller than wide: the legacy whole-number aspect would be 0.
    resizeViewport(Generation::Legacy, 100, 400);
    for (double v : projectionMatrix()) EXPECT_TRUE(std::isfinite(v));
    expectPerspective(projectionMatrix(), 1.0, 1.0, 2000.0);
}

}  // namespace
}  // namespace kelvane
