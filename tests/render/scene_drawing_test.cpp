// Scene drawing judged by the pictures it makes offscreen.
#include "render/scene_drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "render/gl.h"
#include "tests/render/offscreen_picture.h"

namespace kelvane {
namespace {

using test::grab;
using test::Picture;
using test::viewerContext;

constexpr int kSize = 256;
constexpr int kCurrentClear = 26;  // 0.1 of 255
constexpr int kLegacyClear = 77;   // 0.3 of 255

// A flat rectangle facing the viewer at depth z, as one object slot: a
// four-vertex strip in the current generation, two triangles in the earlier
// one. With `normals`, each vertex carries `normalZ` along Z.
void putRectangle(Scene& scene, int slot, Generation generation, float x0, float x1, float y0, float y1,
                  float z = 0, bool normals = false, float normalZ = -1) {
    scene.positions[slot] = {{x0, y0, z}, {x1, y0, z}, {x0, y1, z}, {x1, y1, z}};
    scene.texCoords[slot] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    const bool legacy = generation == Generation::Legacy;
    scene.indices[slot] = legacy ? std::vector<std::uint16_t>{0, 1, 2, 1, 3, 2} : std::vector<std::uint16_t>{0, 1, 2, 3};
    scene.indexCount[slot] = legacy ? 2 : 4;
    scene.hasPositions[slot] = scene.hasTexCoords[slot] = scene.hasIndices[slot] = scene.visible[slot] = 1;
    if (normals) scene.normals[slot].assign(4, Vec3f{0, 0, normalZ}), scene.hasNormals[slot] = 1;
    scene.minX[slot] = x0, scene.maxX[slot] = x1, scene.minY[slot] = y0, scene.maxY[slot] = y1;
    scene.minZ[slot] = scene.maxZ[slot] = z;
    scene.objectCount = std::max(scene.objectCount, slot + 1);
}

// Start-up's drawScene (its fit moves the pose), then one frame, as the viewer does.
Picture frame(const platform::OffscreenContext& context, Generation generation, const Scene& scene,
              FramePose& view, const ShownImage& image = {}) {
    if (const auto fit = drawScene(generation, scene, image)) view.fitDistance = fit->distance;
    drawFrame(generation, scene, image, view);
    return grab(context);
}

// Columns of row y that are not the clear colour.
int coveredWidth(const Picture& picture, int y, int clear) {
    int count = 0;
    for (int x = 0; x < picture.width; ++x) count += picture.isGrey(x, y, clear, 2) ? 0 : 1;
    return count;
}

TEST(SceneDrawing, FitAtZoomZeroSpansTheWidthTheFieldOfViewPredicts) {
    auto context = viewerContext(Generation::Current, kSize, kSize);
    KELVANE_NEED_GL(context);
    Scene scene;
    FramePose view;
    frame(*context, Generation::Current, scene, view);  // nothing to fit: no division by zero
    EXPECT_EQ(view.fitDistance, 0.0);
    // Wider than tall and deep: the fit follows the width, not the depth.
    putRectangle(scene, 0, Generation::Current, 10, 14, 3, 5, 0);
    scene.minZ[0] = -50, scene.maxZ[0] = 50;
    const Picture picture = frame(*context, Generation::Current, scene, view);
    EXPECT_DOUBLE_EQ(view.fitDistance, 6.0);
    EXPECT_DOUBLE_EQ(drawScene(Generation::Current, scene, {}).value().step, 0.6);

    // Half-width 2 seen from 1.5 widths away in a square 45-degree view.
    const double visibleHalfWidth = std::tan(22.5 * std::numbers::pi / 180.0) * 6.0;
    const double expected = kSize * 2.0 / visibleHalfWidth;
    EXPECT_NEAR(coveredWidth(picture, kSize / 2, kCurrentClear), expected, 2.0);
    // Centred on the box: the middle pixel is covered, and white untextured.
    EXPECT_TRUE(picture.isGrey(kSize / 2, kSize / 2, 255));
}

TEST(SceneDrawing, TextureIsUploadedEveryFrameAndBlankDrawsWhite) {
    auto context = viewerContext(Generation::Current, 64, 64);
    KELVANE_NEED_GL(context);
    Scene scene;
    putRectangle(scene, 0, Generation::Current, -1, 1, -1, 1);
    FramePose view;
    const std::uint8_t red[] = {255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255};
    Picture picture = frame(*context, Generation::Current, scene, view, {2, 2, red});
    EXPECT_EQ(picture.at(32, 32), (std::array<int, 3>{255, 0, 0}));

    picture = frame(*context, Generation::Current, scene, view, {});
    EXPECT_TRUE(picture.isGrey(32, 32, 255));
    // A size without pixels is drawn as no image, not read.
    picture = frame(*context, Generation::Current, scene, view, {4, 4, nullptr});
    EXPECT_TRUE(picture.isGrey(32, 32, 255));

    // Texels of alpha 0.1 or less are not drawn at all.
    const std::uint8_t clearTexel[] = {255, 0, 0, 20};
    picture = frame(*context, Generation::Current, scene, view, {1, 1, clearTexel});
    EXPECT_TRUE(picture.isGrey(32, 32, kCurrentClear));
}

TEST(SceneDrawing, LightingChangesOnlyObjectsWithNormals) {
    auto context = viewerContext(Generation::Current, kSize, kSize);
    KELVANE_NEED_GL(context);
    Scene scene;
    // Normals that lean away from the viewer leave a lit face to its ambient light.
    putRectangle(scene, 0, Generation::Current, -3, -1, -1, 1, 0, true, -1);
    putRectangle(scene, 1, Generation::Current, 1, 3, -1, 1);
    const int litX = kSize / 2 - 45, plainX = kSize / 2 + 45, y = kSize / 2;
    FramePose view;
    scene.lightingOn = 0;
    const Picture off = frame(*context, Generation::Current, scene, view);
    scene.lightingOn = 1;
    const Picture on = frame(*context, Generation::Current, scene, view);

    EXPECT_TRUE(off.isGrey(litX, y, 255));
    EXPECT_TRUE(off.isGrey(plainX, y, 255));
    EXPECT_LT(on.at(litX, y)[0], 240);
    EXPECT_GT(on.at(litX, y)[0], kCurrentClear + 10);
    EXPECT_EQ(on.at(plainX, y), off.at(plainX, y));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));  // the last slot had no normals
}

TEST(SceneDrawing, LegacyPictureSitsTenPixelsLow) {
    auto context = viewerContext(Generation::Legacy, kSize, kSize);
    KELVANE_NEED_GL(context);
    Scene scene;
    // Far larger than the view once scaled down by 10 at distance 10.
    putRectangle(scene, 0, Generation::Legacy, -500, 500, -500, 500);
    FramePose view = initialPose(Generation::Legacy);
    Picture picture = frame(*context, Generation::Legacy, scene, view);
    for (int y = 0; y < kSize; ++y)
        EXPECT_EQ(picture.isGrey(kSize / 2, y, kLegacyClear), y < 10) << "row " << y;

    // A small square centred on its box shows its middle 10 rows below the centre.
    Scene small;
    putRectangle(small, 0, Generation::Legacy, 90, 110, 90, 110);
    picture = frame(*context, Generation::Legacy, small, view);
    int top = -1, bottom = -1;
    for (int y = 0; y < kSize; ++y)
        if (!picture.isGrey(kSize / 2, y, kLegacyClear, 2)) (top < 0 ? top : bottom) = y, bottom = y;
    ASSERT_GE(top, 0);
    EXPECT_NEAR((top + bottom) / 2.0, kSize / 2.0 - 0.5 + 10, 1.0);
    EXPECT_FALSE(drawScene(Generation::Legacy, small, {}));  // the earlier generation fits nothing
}

TEST(SceneDrawing, IndicesPastTheArraysAreSkipped) {
    for (Generation generation : {Generation::Current, Generation::Legacy}) {
        const int clear = generation == Generation::Legacy ? kLegacyClear : kCurrentClear;
        auto context = viewerContext(generation, 64, 64);
        KELVANE_NEED_GL(context);
        Scene good;
        const float r = generation == Generation::Legacy ? 30 : 1;  // the earlier one draws a tenth of it
        putRectangle(good, 0, generation, -r, r, -r, r, 0, generation == Generation::Current);
        good.lightingOn = 1;
        FramePose view = initialPose(generation);
        const Picture expected = frame(*context, generation, good, view);
        ASSERT_FALSE(expected.isGrey(32, 32, clear));

        Scene bad = good;
        if (generation == Generation::Legacy) {
            // A triangle with a corner past the positions, one past the
            // texture coordinates, and a count beyond the stored list.
            bad.indices[0].insert(bad.indices[0].begin() + 3, {0, 60000, 1, 2, 3, 4});
            bad.indexCount[0] = 1000;
        } else {
            bad.indices[0].insert(bad.indices[0].begin() + 2, 65535);
            bad.normals[0].pop_back();  // vertex 3 now lacks a normal
            bad.indices[0].push_back(3);
            bad.indices[0].push_back(3);
            bad.indexCount[0] = 100000;
        }
        bad.objectCount = 1;
        FramePose badView = view;
        Picture picture = frame(*context, generation, bad, badView);
        if (generation == Generation::Legacy) {
            EXPECT_EQ(picture.rgba, expected.rgba);
        } else {
            // Vertex 3 is dropped too, leaving one triangle of the two.
            EXPECT_NE(picture.rgba, expected.rgba);
            EXPECT_FALSE(picture.isGrey(20, 44, clear));  // lower-left triangle 0-1-2 remains
        }

        // Counts beyond the slots and negative counts draw nothing strange.
        bad.objectCount = 1000;
        bad.indexCount[0] = -5;
        picture = frame(*context, generation, bad, badView);
        EXPECT_TRUE(picture.isGrey(32, 32, clear));
    }
}

}  // namespace
}  // namespace kelvane
