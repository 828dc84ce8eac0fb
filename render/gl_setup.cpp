#include "render/gl_setup.h"

#include "render/gl.h"

namespace kelvane {

namespace {

// Colour material, depth test and alpha test, the same in both generations.
void initSurfaceState() {
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    // Texels whose alpha is 0.1 or less are never drawn.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
}

void initCurrentGl() {
    initSurfaceState();
    // The drawn normals are not unit length (see scene drawing).
    glEnable(GL_NORMALIZE);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glShadeModel(GL_SMOOTH);

    // Positions are transformed by the model-view matrix current when they
    // are given: under the identity they are eye-space positions, so the
    // lights stay with the viewer however the model turns.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat ambient0[] = {0.2f, 0.2f, 0.2f, 1.0f};
    const GLfloat position0[] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat ambient1[] = {0.3f, 0.3f, 0.3f, 1.0f};
    const GLfloat position1[] = {0.0f, 0.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient0);
    glLightfv(GL_LIGHT0, GL_POSITION, position0);
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient1);
    glLightfv(GL_LIGHT1, GL_POSITION, position1);

    // Blending is on, but the incoming colour replaces the stored one.
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
}

// The earlier generation: no lighting at all and true alpha blending.
void initLegacyGl() {
    initSurfaceState();
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

struct Projection {
    int viewportX = 0, viewportY = 0, viewportWidth = 0, viewportHeight = 0;
    double fovY = 0, aspect = 0, zNear = 0, zFar = 0;
};

bool projectionFor(Generation generation, int width, int height, Projection& out);

}  // namespace

void initGl(Generation generation) {
    const float grey = traits(generation).clearGrey;
    glClearColor(grey, grey, grey, 1.0f);
    if (generation == Generation::Legacy)
        initLegacyGl();
    else
        initCurrentGl();
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POLYGON_SMOOTH);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glMatrixMode(GL_MODELVIEW);
}

namespace {
bool projectionFor(Generation generation, int width, int height, Projection& out) {
    // A minimised window reports an empty client area: any aspect formed
    // from it is 0, infinite or NaN, so the last projection is kept until the
    // window is restored.
    if (width <= 0 || height <= 0) return false;
    out.viewportWidth = width;
    out.viewportHeight = height;
    out.viewportY = traits(generation).viewportY;
    out.fovY = 45.0;
    out.zNear = 1.0;
    out.zFar = traits(generation).zFar;
    if (generation == Generation::Legacy) {
        // The earlier viewer forms its aspect by whole-number division. A
        // client area taller than wide makes that quotient 0, a degenerate
        // projection: it is taken as 1.
        const int quotient = width / height;
        out.aspect = static_cast<double>(static_cast<float>(quotient > 0 ? quotient : 1));
    } else {
        out.aspect = static_cast<double>(static_cast<float>(width) / static_cast<float>(height));
    }
    return true;
}
}  // namespace

void resizeViewport(Generation generation, int width, int height) {
    Projection p;
    if (!projectionFor(generation, width, height, p)) return;
    glViewport(p.viewportX, p.viewportY, p.viewportWidth, p.viewportHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(p.fovY, p.aspect, p.zNear, p.zFar);
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace kelvane
