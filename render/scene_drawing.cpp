#include "render/scene_drawing.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "render/drawn_triangles.h"
#include "render/gl.h"
#include "render/texture_cache.h"

namespace kelvane {

namespace {

struct Box {
    bool any = false;
    double minX = 0, minY = 0, minZ = 0, maxX = 0, maxY = 0, maxZ = 0;
    double centreX() const { return minX + (maxX - minX) * 0.5; }
    double centreY() const { return minY + (maxY - minY) * 0.5; }
    double centreZ() const { return minZ + (maxZ - minZ) * 0.5; }
};

// The box around the visible objects, from their stored bounds whatever
// their presence flags say. Starts at 0 so an empty scene is centred at 0.
Box visibleBox(const Scene& scene) {
    Box box;
    for (int s = 0; s < slotsInUse(scene); ++s) {
        if (scene.visible[s] == 0) continue;
        if (!box.any) {
            box = {true, scene.minX[s], scene.minY[s], scene.minZ[s], scene.maxX[s], scene.maxY[s], scene.maxZ[s]};
            continue;
        }
        if (scene.minX[s] < box.minX) box.minX = scene.minX[s];
        if (scene.minY[s] < box.minY) box.minY = scene.minY[s];
        if (scene.minZ[s] < box.minZ) box.minZ = scene.minZ[s];
        if (scene.maxX[s] > box.maxX) box.maxX = scene.maxX[s];
        if (scene.maxY[s] > box.maxY) box.maxY = scene.maxY[s];
        if (scene.maxZ[s] > box.maxZ) box.maxZ = scene.maxZ[s];
    }
    return box;
}

// What each object is drawn with: each object's image is bound before it is
// sent; the wireframe's pass (`images` null) binds none.
struct Painter {
    const SceneImages* images = nullptr;
    TextureCache* cache = nullptr;
    bool lit = true;  // the lighting switch applies; off for the wireframe's lines
    int bound = -1;

    int imageOf(int s) const { return images ? images->imageOf[s] : 0; }
    void paint(int s) {
        if (!images || imageOf(s) == bound) return;
        bound = imageOf(s);
        cache->bind(images->images[bound]);
    }
};

// The current generation: each object one triangle strip, divided by `d`
// (1) about the box centre. The normal sent is the vertex's offset from the
// centre plus its stored normal; GL_NORMALIZE makes it unit length, so the
// stored normal only tilts the outward direction.
void drawStrips(const Scene& scene, const Box& box, double d, Painter& painter) {
    const double cx = box.centreX() / d, cy = box.centreY() / d, cz = box.centreZ() / d;
    for (int s = 0; s < slotsInUse(scene); ++s) {
        painter.paint(s);
        if (painter.lit && scene.lightingOn != 0 && scene.hasNormals[s] != 0)
            glEnable(GL_LIGHTING);
        else
            glDisable(GL_LIGHTING);
        glBegin(GL_TRIANGLE_STRIP);
        if (scene.visible[s] != 0 && scene.hasIndices[s] != 0) {
            const SlotArrays use = arraysDrawn(Generation::Current, scene, s);
            const auto& indices = scene.indices[s];
            const std::size_t count =
                std::min<std::size_t>(static_cast<std::size_t>(std::max(scene.indexCount[s], 0)), indices.size());
            for (std::size_t i = 0; i < count; ++i) {
                const std::size_t k = indices[i];
                if (!vertexInRange(scene, s, k, use)) continue;
                if (use.texCoords) glTexCoord2d(scene.texCoords[s][k].u, scene.texCoords[s][k].v);
                if (use.normals) {
                    const Vec3f& n = scene.normals[s][k];
                    // Without positions there is no offset to add.
                    double ox = 0, oy = 0, oz = 0;
                    if (use.positions) {
                        const Vec3f& p = scene.positions[s][k];
                        ox = p.x / d - cx, oy = p.y / d - cy, oz = p.z / d - cz;
                    }
                    glNormal3d(ox + n.x, oy + n.y, oz + n.z);
                }
                if (use.positions) {
                    const Vec3f& p = scene.positions[s][k];
                    glVertex3d(p.x / d - cx, p.y / d - cy, p.z / d - cz);
                }
            }
        }
        glEnd();
    }
}

// The earlier generation: all visible objects in one triangle list, scaled
// down by `d` (10) about the box centre; indexCount counts triangles. Only
// the objects drawn with image `image` of the painter's.
void drawTriangleList(const Scene& scene, const Box& box, double d, Painter& painter, int image) {
    const double cx = box.centreX() / d, cy = box.centreY() / d, cz = box.centreZ() / d;
    glBegin(GL_TRIANGLES);
    for (int s = 0; s < slotsInUse(scene); ++s) {
        if (scene.visible[s] == 0 || scene.hasIndices[s] == 0 || painter.imageOf(s) != image) continue;
        const SlotArrays use = arraysDrawn(Generation::Legacy, scene, s);
        const auto& indices = scene.indices[s];
        const std::size_t triangles = std::min<std::size_t>(static_cast<std::size_t>(std::max(scene.indexCount[s], 0)),
                                                            indices.size() / 3);
        for (std::size_t t = 0; t < triangles; ++t) {
            // A triangle with one corner out of range is left out whole, so
            // the corners of the triangles after it stay together.
            const std::size_t k0 = indices[3 * t], k1 = indices[3 * t + 1], k2 = indices[3 * t + 2];
            if (!vertexInRange(scene, s, k0, use) || !vertexInRange(scene, s, k1, use) ||
                !vertexInRange(scene, s, k2, use))
                continue;
            for (const std::size_t k : {k0, k1, k2}) {
                if (use.texCoords) glTexCoord2d(scene.texCoords[s][k].u, scene.texCoords[s][k].v);
                if (use.positions) {
                    const Vec3f& p = scene.positions[s][k];
                    glVertex3d(p.x / d - cx, p.y / d - cy, p.z / d - cz);
                }
            }
        }
    }
    glEnd();
}

// The triangle lists, one GL list per image in use (a single one unless
// objects have images of their own).
void drawTriangleLists(const Scene& scene, const Box& box, double d, Painter& painter) {
    std::array<bool, kSceneSlots + 1> drawn{};
    for (int s = 0; s < slotsInUse(scene); ++s) {
        const int image = painter.imageOf(s);
        if (drawn[image] || scene.visible[s] == 0 || scene.hasIndices[s] == 0) continue;
        drawn[image] = true;
        painter.paint(s);
        drawTriangleList(scene, box, d, painter, image);
    }
}

void drawObjects(const GenerationTraits& t, const Scene& scene, const Box& box, Painter& painter) {
    if (t.primitive == Primitive::TriangleLists) {
        if (box.any) drawTriangleLists(scene, box, t.sizeDivisor, painter);
    } else {
        drawStrips(scene, box, t.sizeDivisor, painter);
    }
}

// Every drawn triangle's edges, untextured and unlit, pulled a little
// towards the viewer so they sit on the surface they outline.
void drawWireframe(const GenerationTraits& t, const Scene& scene, const Box& box) {
    glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT | GL_CURRENT_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);  // else the lines' colour stays the material's
    glDisable(GL_LINE_SMOOTH);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnable(GL_POLYGON_OFFSET_LINE);
    glPolygonOffset(-1.0f, -1.0f);
    glColor3ub(kLineColour[0], kLineColour[1], kLineColour[2]);
    Painter plain;
    plain.lit = false;
    drawObjects(t, scene, box, plain);
    glPopAttrib();
}

std::optional<Fit> fitOf(const GenerationTraits& t, const Box& box) {
    if (!t.fitsView) return std::nullopt;
    // The depth extent plays no part in the fit.
    const double fitX = 1.5 * (box.maxX - box.minX);
    const double fitY = 1.5 * (box.maxY - box.minY);
    Fit fit;
    fit.distance = fitY > fitX ? fitY : fitX;
    fit.step = fit.distance / 10.0;
    return fit;
}

void placeModel(const GenerationTraits& t, const FramePose& pose) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    // Backs off by the distance the previous draw fitted, so a changed set of
    // visible objects moves to its new distance one frame later.
    glTranslated(pose.panX, pose.panY, t.fitsView ? pose.zoom - pose.fitDistance : pose.zoom);
    glRotated(pose.pitch, 1, 0, 0);
    glRotated(pose.yaw, 0, 1, 0);
    if (t.fixedRoll != 0) glRotated(t.fixedRoll, 0, 0, 1);
}

}  // namespace

std::optional<Fit> drawScene(Generation generation, const Scene& scene, const ShownImage& image) {
    TextureCache uploadsEveryDraw;
    SceneImages images;
    images.images[0].image = image;
    return drawScene(generation, scene, images, uploadsEveryDraw);
}

std::optional<Fit> drawScene(Generation generation, const Scene& scene, const SceneImages& images,
                             TextureCache& cache, const DrawModes& modes) {
    const GenerationTraits& t = traits(generation);
    const Box box = visibleBox(scene);
    Painter painter{&images, &cache};
    drawObjects(t, scene, box, painter);
    if (modes.wireframe) drawWireframe(t, scene, box);
    return fitOf(t, box);
}

std::optional<Fit> drawFrame(Generation generation, const Scene& scene, const ShownImage& image, const FramePose& pose) {
    placeModel(traits(generation), pose);
    return drawScene(generation, scene, image);
}

std::optional<Fit> drawFrame(Generation generation, const Scene& scene, const SceneImages& images, TextureCache& cache,
                             const FramePose& pose, const DrawModes& modes) {
    placeModel(traits(generation), pose);
    return drawScene(generation, scene, images, cache, modes);
}

}  // namespace kelvane
