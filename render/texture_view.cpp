#include "render/texture_view.h"

#include <algorithm>
#include <cmath>

#include "render/gl.h"
#include "render/scene_drawing.h"
#include "render/texture_cache.h"

namespace kelvane {

namespace {

constexpr double kCheckPixels = 8;
// A triangle spanning more repeats than this is drawn once, where it lies.
constexpr double kMaxRepeats = 64;

void quad(double x0, double y0, double x1, double y1, double s0, double t0, double s1, double t1) {
    glBegin(GL_QUADS);
    glTexCoord2d(s0, t0), glVertex2d(x0, y0);
    glTexCoord2d(s1, t0), glVertex2d(x1, y0);
    glTexCoord2d(s1, t1), glVertex2d(x1, y1);
    glTexCoord2d(s0, t1), glVertex2d(x0, y1);
    glEnd();
}

// Inside glBegin(GL_LINES): the triangle's three edges.
void outline(const UvTriangle& t, double du, double dv) {
    for (int i = 0; i < 3; ++i) {
        const Vec2f &a = t.corner[i], &b = t.corner[(i + 1) % 3];
        glVertex2d(a.u - du, a.v - dv);
        glVertex2d(b.u - du, b.v - dv);
    }
}

// In texture coordinates, scissored to the image: each triangle once for
// every repeat of the image it falls on. One list of lines for them all.
void drawLayout(const std::vector<UvTriangle>& triangles) {
    glBegin(GL_LINES);
    for (const UvTriangle& t : triangles) {
        double minU = t.corner[0].u, maxU = minU, minV = t.corner[0].v, maxV = minV;
        for (const Vec2f& c : t.corner) {
            minU = std::min<double>(minU, c.u), maxU = std::max<double>(maxU, c.u);
            minV = std::min<double>(minV, c.v), maxV = std::max<double>(maxV, c.v);
        }
        if (!std::isfinite(minU + maxU + minV + maxV)) continue;
        const double u0 = std::floor(minU), u1 = std::ceil(maxU), v0 = std::floor(minV), v1 = std::ceil(maxV);
        if ((u1 - u0) * (v1 - v0) > kMaxRepeats) {
            outline(t, 0, 0);
            continue;
        }
        for (double du = u0; du < std::max(u1, u0 + 1); ++du)
            for (double dv = v0; dv < std::max(v1, v0 + 1); ++dv) outline(t, du, dv);
    }
    glEnd();
}

}  // namespace

void drawTextureView(const FrameImage& image, const TexturePlacement& place, int clientWidth, int clientHeight,
                     const std::vector<UvTriangle>* uv, TextureCache& cache) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glViewport(0, 0, clientWidth, clientHeight);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, clientWidth, clientHeight, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Without colour material, the colours given here leave the material alone.
    for (GLenum off :
         {GL_DEPTH_TEST, GL_LIGHTING, GL_COLOR_MATERIAL, GL_ALPHA_TEST, GL_LINE_SMOOTH, GL_POLYGON_SMOOTH, GL_BLEND})
        glDisable(off);
    glColor3ub(255, 255, 255);

    const ShownImage& shown = image.image;
    if (shown.pixels && shown.width > 0 && shown.height > 0) {
        const double x0 = std::floor(place.left + 0.5), y0 = std::floor(place.top + 0.5);
        const double x1 = x0 + shown.width * place.scale, y1 = y0 + shown.height * place.scale;
        // The checks stay where they are on screen while the image moves.
        cache.bindChecker();
        const double c = 2 * kCheckPixels;
        quad(x0, y0, x1, y1, x0 / c, y0 / c, x1 / c, y1 / c);
        cache.bind(image, place.scale >= 1 ? GL_NEAREST : GL_LINEAR);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        quad(x0, y0, x1, y1, 0, 0, 1, 1);
        if (uv) {
            glDisable(GL_TEXTURE_2D);
            glDisable(GL_BLEND);
            glEnable(GL_SCISSOR_TEST);
            // The scissor box counts rows from the bottom.
            const double bottom = clientHeight - y1;
            glScissor(static_cast<GLint>(std::max(x0, -1e9)), static_cast<GLint>(std::max(bottom, -1e9)),
                      static_cast<GLsizei>(std::min(x1 - x0, 1e9)), static_cast<GLsizei>(std::min(y1 - y0, 1e9)));
            glColor3ub(kLineColour[0], kLineColour[1], kLineColour[2]);
            // Pixel centres lie half a pixel in; the image's width and height span 0..1.
            glTranslated(x0 + 0.5, y0 + 0.5, 0);
            glScaled(shown.width * place.scale, shown.height * place.scale, 1);
            drawLayout(*uv);
        }
    }

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

}  // namespace kelvane
