// Scene drawing and the projection judged by the pictures they make
// offscreen, against golden frames in tests/render/golden/.
#include "render/scene_drawing.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>

#include "platform/offscreen_context.h"
#include "render/gl.h"
#include "render/gl_setup.h"
#include "render/texture_cache.h"
#include "render/texture_view.h"
#include "textures/s3tc.h"
#include "export/image_writer.h"
#include "writers/dxt_encoder.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include <stb_image.h>

namespace kelvane {
namespace {

namespace fs = std::filesystem;

// A flat rectangle facing the viewer, as one object slot: a four-vertex
// strip in the current generation, two triangles in the earlier one. With
// `normals`, each vertex's normal leans away from the viewer.
void putRectangle(Scene& scene, int slot, Generation generation, float x0, float x1, float y0, float y1,
                  bool normals = false) {
    scene.positions[slot] = {{x0, y0, 0}, {x1, y0, 0}, {x0, y1, 0}, {x1, y1, 0}};
    scene.texCoords[slot] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    const bool legacy = generation == Generation::Legacy;
    scene.indices[slot] = legacy ? std::vector<std::uint16_t>{0, 1, 2, 1, 3, 2} : std::vector<std::uint16_t>{0, 1, 2, 3};
    scene.indexCount[slot] = legacy ? 2 : 4;
    scene.hasPositions[slot] = scene.hasTexCoords[slot] = scene.hasIndices[slot] = scene.visible[slot] = 1;
    if (normals) scene.normals[slot] = std::vector<Vec3f>(4, Vec3f{0, 0, -1}), scene.hasNormals[slot] = 1;
    scene.minX[slot] = x0, scene.maxX[slot] = x1, scene.minY[slot] = y0, scene.maxY[slot] = y1;
}

// A current offscreen context with the viewer's fixed state and projection,
// or null (the test is then skipped) where this machine has no EGL.
std::unique_ptr<platform::OffscreenContext> viewerContext(Generation generation, int width, int height) {
    auto context = platform::OffscreenContext::create(width, height);
    if (!context) return nullptr;
    initGl(generation);
    resizeViewport(generation, width, height);
    return std::move(*context);
}

// The frame drawn is compared with golden/NAME.png: every channel within 3
// levels, at most 4 pixels off. Otherwise the frame drawn goes to the temp
// dir, named in the failure. KELVANE_UPDATE_GOLDEN=1 writes it over the
// stored frame instead (look at the new files before committing them).
void expectGolden(const platform::OffscreenContext& context, const std::string& name) {
    const std::vector<std::uint8_t> rgba = context.readPixels();  // top row first
    const fs::path stored = fs::path(KELVANE_GOLDEN_DIR) / (name + ".png");
    const fs::path actual = fs::temp_directory_path() / "kelvane-golden" / (name + ".png");
    const bool update = std::getenv("KELVANE_UPDATE_GOLDEN") != nullptr;
    int width = 0, height = 0, channels = 0, off = 0;
    const std::unique_ptr<stbi_uc, void (*)(void*)> golden(
        stbi_load(stored.string().c_str(), &width, &height, &channels, 4), stbi_image_free);
    const bool sameSize = golden && width == context.width() && height == context.height();
    for (std::size_t i = 0; sameSize && i < rgba.size(); ++i)
        if (std::abs(golden.get()[i] - rgba[i]) > 3) ++off, i |= 3;  // on to the next pixel
    if (!update && sameSize && off <= 4) return;
    fs::create_directories(actual.parent_path());
    ASSERT_TRUE(writePng(update ? stored : actual, context.width(), context.height(), rgba.data()));
    if (!update) ADD_FAILURE() << off << " pixels (or the size) differ from " << stored << "; the frame drawn is " << actual;
}

// As the viewer draws: start-up's drawScene (its fit moves the pose), then
// one frame, its textures kept in a cache as the viewer keeps them.
void expectGoldenFrame(const platform::OffscreenContext& context, Generation generation, const Scene& scene,
                       const SceneImages& images, const std::string& name, const FramePose& turned = {},
                       DrawModes modes = {}) {
    TextureCache cache;
    FramePose view = initialPose(generation);
    view.pitch = turned.pitch, view.yaw = turned.yaw;
    if (const auto fit = drawScene(generation, scene, images, cache)) view.fitDistance = fit->distance;
    drawFrame(generation, scene, images, cache, view, modes);
    expectGolden(context, name);
}

SceneImages chosen(const ShownImage& image) {
    SceneImages images;
    images.images[0] = {image, nextRevision()};
    return images;
}

// Across a box wider than tall and deep (the fit follows its width), in a
// frame wider than tall: a lit object whose normals lean away, a plain one,
// and a bad one reaching past its positions, its normals (vertex 3 lacks
// one) and its list, which leaves one triangle of the two.
TEST(SceneDrawing, CurrentFramesTexturedThenBlankAndLit) {
    auto context = viewerContext(Generation::Current, 96, 64);
    if (!context) GTEST_SKIP() << "no offscreen EGL context here";
    Scene scene;
    putRectangle(scene, 0, Generation::Current, -3, -1.5, -2, 2, true);
    scene.minZ[0] = -50, scene.maxZ[0] = 50;
    putRectangle(scene, 1, Generation::Current, 1.5, 3, -2, 2);
    putRectangle(scene, 2, Generation::Current, -1, 1, -1, 1, true);
    scene.indices[2] = {0, 1, 65535, 2, 3, 3, 3}, scene.indexCount[2] = 100000;
    scene.normals[2] = std::vector<Vec3f>(3, Vec3f{0, 0, -1});  // one short
    putRectangle(scene, 3, Generation::Current, -1, 1, -1, 1);  // would fill the other half
    scene.indexCount[3] = -5, scene.objectCount = 1000;
    const Fit fit = drawScene(Generation::Current, scene, {}).value();
    EXPECT_EQ(std::pair(fit.distance, fit.step), std::pair(9.0, 0.9));
    // 4 x 4 texels of changing colour, the right half clear (alpha 0.1 or
    // less is not drawn); then, uploaded afresh, a size without pixels: Blank, white.
    std::uint8_t texels[64];  // RGBA, row 0 first
    for (int i = 0; i < 64; ++i) texels[i] = std::uint8_t(i % 4 < 3 ? i * 4 + i % 4 * 70 : i % 16 < 8 ? 255 : 20);
    expectGoldenFrame(*context, Generation::Current, scene, chosen({4, 4, texels}), "current_textured");
    scene.lightingOn = 1;
    expectGoldenFrame(*context, Generation::Current, scene, chosen({4, 4, nullptr}), "current_blank_lit");
}

// Sits 10 pixels low, in a whole-number aspect (1 here), the earlier
// generation's fixed turn about Z, and fits nothing. The left square's list
// has a triangle with a corner past the arrays and a count past the list:
// it draws as its good version does.
TEST(SceneDrawing, LegacyFrame) {
    auto context = viewerContext(Generation::Legacy, 80, 48);
    if (!context) GTEST_SKIP() << "no offscreen EGL context here";
    Scene scene;
    putRectangle(scene, 0, Generation::Legacy, -35, -5, -15, 15);
    scene.indices[0] = {0, 1, 2, 0, 60000, 1, 2, 3, 4, 1, 3, 2};
    scene.indexCount[0] = 1000;
    putRectangle(scene, 1, Generation::Legacy, 5, 35, -15, 15);
    putRectangle(scene, 2, Generation::Legacy, -5, 5, -15, 15);
    scene.indexCount[2] = -5, scene.objectCount = 1000;
    EXPECT_FALSE(drawScene(Generation::Legacy, scene, {}));
    expectGoldenFrame(*context, Generation::Legacy, scene, chosen({}), "legacy");
}

// A ridge: two slopes meeting along Y, nearer the viewer in the middle,
// as a strip (current) or a triangle list (legacy), `scale` across.
void putRidge(Scene& scene, Generation generation, float scale) {
    const float x[] = {-2, -2, 0, 0, 2, 2}, y[] = {-2, 2, -2, 2, -2, 2}, z[] = {0, 0, 1.5f, 1.5f, 0, 0};
    std::vector<Vec3f> positions;
    std::vector<Vec2f> texCoords;
    for (int i = 0; i < 6; ++i) {
        positions.push_back({x[i] * scale, y[i] * scale, z[i] * scale});
        texCoords.push_back({x[i] / 4 + 0.5f, y[i] / 4 + 0.5f});
    }
    scene.positions[0] = std::move(positions), scene.texCoords[0] = std::move(texCoords);
    const bool legacy = generation == Generation::Legacy;
    scene.indices[0] = legacy ? std::vector<std::uint16_t>{0, 1, 2, 1, 3, 2, 2, 3, 4, 3, 5, 4}
                              : std::vector<std::uint16_t>{0, 1, 2, 3, 4, 5};
    scene.indexCount[0] = legacy ? 4 : 6;
    scene.hasPositions[0] = scene.hasTexCoords[0] = scene.hasIndices[0] = scene.visible[0] = 1;
    scene.minX[0] = scene.minY[0] = -2 * scale, scene.maxX[0] = scene.maxY[0] = 2 * scale, scene.maxZ[0] = 1.5f * scale;
    scene.objectCount = 1;
}

// The ridge turned so that its depth shows, every edge over it; the earlier
// generation's scale and depth range included.
TEST(SceneDrawing, WireframeOverTurnedModelsInBothGenerations) {
    for (Generation generation : {Generation::Current, Generation::Legacy}) {
        auto context = viewerContext(generation, 64, 64);
        if (!context) GTEST_SKIP() << "no offscreen EGL context here";
        Scene scene;
        putRidge(scene, generation, generation == Generation::Legacy ? 10.0f : 1.0f);
        std::uint8_t texels[16];  // 2 x 2: red, green, blue, white
        for (int i = 0; i < 16; ++i) texels[i] = std::uint8_t(i % 4 == 3 || i / 4 == 3 || i % 4 == i / 4 ? 255 : 60);
        expectGoldenFrame(*context, generation, scene, chosen({2, 2, texels}),
                          std::string(traits(generation).name) + "_wireframe", {.pitch = 20, .yaw = 35},
                          {.wireframe = true});
    }
}

// Three objects named "Skin", "EYES" and "hair" over an archive holding
// "skin", "eyes" and "x" (the chosen one): the first two find their images
// whatever the case, hair takes the chosen image.
TEST(SceneDrawing, ByNameEachObjectWithTheImageOfItsName) {
    auto context = viewerContext(Generation::Current, 96, 48);
    if (!context) GTEST_SKIP() << "no offscreen EGL context here";
    Scene scene;
    const char* names[] = {"Skin", "EYES", "hair"};
    for (int s = 0; s < 3; ++s) {
        putRectangle(scene, s, Generation::Current, -3.0f + 2 * s, -1.2f + 2 * s, -1, 1);
        scene.names[s] = names[s];
        scene.visible[s] = 1;
    }
    scene.objectCount = 3;
    TextureStore store(Generation::Current);
    const std::uint8_t colours[3][3] = {{230, 170, 140}, {40, 90, 220}, {60, 200, 60}};
    for (std::uint32_t slot = 0; slot < 3; ++slot) {
        std::vector<std::uint8_t> rgba;
        for (int p = 0; p < 16; ++p) rgba.insert(rgba.end(), {colours[slot][0], colours[slot][1], colours[slot][2], 255});
        store.imageData[slot] = writers::encodeDxt1(4, 4, rgba);
        store.formatCode[slot] = kFormatDxt1, store.width[slot] = store.height[slot] = 4;
    }
    store.name = {"skin", "eyes", "x"};
    store.slotCount = 3, store.currentSlot = 2;
    store.decodeSlot();
    SlotImages decoded;
    const SceneImages images = imagesByName(scene, store, decoded);
    EXPECT_EQ(std::tuple(images.matched, images.slotOf[0], images.slotOf[1], images.slotOf[2]), std::tuple(2, 0, 1, -1));
    expectGoldenFrame(*context, Generation::Current, scene, images, "current_by_name");
}

// A DXT3 image with four alpha levels, 4x, its top-left corner off the
// client area; the layout of a triangle that crosses the image's right edge
// comes in again on the left, as the texture repeats.
TEST(TextureView, ImageOverTheCheckerboardWithItsUvLayout) {
    auto context = viewerContext(Generation::Current, 80, 64);
    if (!context) GTEST_SKIP() << "no offscreen EGL context here";
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            rgba.insert(rgba.end(), {std::uint8_t(x * 16), 120, std::uint8_t(y * 16), std::uint8_t(y / 4 * 85)});
    std::vector<std::uint8_t> pixels(16 * 16 * 4);
    decodeDxt3(16, 16, writers::encodeDxt3(16, 16, rgba).data(), pixels.data());
    const std::vector<UvTriangle> layout = {{{{{0.25f, 0.25f}, {1.25f, 0.5f}, {0.5f, 0.75f}}}}};
    TextureCache cache;
    drawTextureView({{16, 16, pixels.data()}, nextRevision()}, {-4, 2, 4}, 80, 64, &layout, cache);
    expectGolden(*context, "texture_view_uv");
}

// A minimised window's empty client area keeps the last projection (no
// frame is drawn then); restored, it follows the size again. Taller than
// wide, the legacy whole-number aspect is 1 (never 0): a square's projection.
TEST(GlSetup, EmptyClientAreaKeepsTheLastProjection) {
    for (Generation generation : {Generation::Current, Generation::Legacy}) {
        auto context = viewerContext(generation, 200, 200);
        if (!context) GTEST_SKIP() << "no offscreen EGL context here";
        std::array<GLdouble, 16> before{}, after{};
        glGetDoublev(GL_PROJECTION_MATRIX, before.data());
        resizeViewport(generation, 200, 0);
        resizeViewport(generation, 0, 0);
        glGetDoublev(GL_PROJECTION_MATRIX, after.data());
        EXPECT_EQ(after, before);
        resizeViewport(generation, 100, 400);
        glGetDoublev(GL_PROJECTION_MATRIX, after.data());
        EXPECT_DOUBLE_EQ(after[0], before[0] * (generation == Generation::Legacy ? 1 : 4));
    }
}

}  // namespace
}  // namespace kelvane
