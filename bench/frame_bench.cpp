// Time of one viewer frame drawn offscreen: a 20,000-vertex model (normals,
// texture coordinates, lighting on) with a 2048 x 2048 texture uploaded
// afresh, in a 512 x 512 client area. Each iteration ends with glFinish so
// the GL work is counted, not just queued.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/egl/offscreen_context.h"
#include "render/gl.h"
#include "render/gl_setup.h"
#include "render/scene_drawing.h"

namespace kelvane {
namespace {

constexpr int kColumns = 100;
constexpr int kRows = 200;  // 20,000 vertices

// A gently curved sheet as one triangle strip, rows joined by repeated
// vertices.
Scene gridScene() {
    Scene scene;
    auto& positions = scene.positions[0];
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const float x = c * 0.1f, y = r * 0.1f;
            positions.push_back({x, y, 0.02f * (x - 5) * (x - 5)});
            scene.normals[0].push_back({0, 0, 1});
            scene.texCoords[0].push_back({c / float(kColumns - 1), r / float(kRows - 1)});
        }
    auto& indices = scene.indices[0];
    for (int r = 0; r + 1 < kRows; ++r) {
        if (r > 0) indices.push_back(static_cast<std::uint16_t>(r * kColumns));
        for (int c = 0; c < kColumns; ++c) {
            indices.push_back(static_cast<std::uint16_t>(r * kColumns + c));
            indices.push_back(static_cast<std::uint16_t>((r + 1) * kColumns + c));
        }
        indices.push_back(static_cast<std::uint16_t>((r + 1) * kColumns + kColumns - 1));
    }
    scene.indexCount[0] = static_cast<std::int32_t>(indices.size());
    scene.hasPositions[0] = scene.hasNormals[0] = scene.hasTexCoords[0] = scene.hasIndices[0] = 1;
    scene.visible[0] = 1;
    scene.objectCount = 1;
    scene.lightingOn = scene.normalsPresent = 1;
    scene.minX[0] = 0, scene.maxX[0] = (kColumns - 1) * 0.1f;
    scene.minY[0] = 0, scene.maxY[0] = (kRows - 1) * 0.1f;
    scene.minZ[0] = 0, scene.maxZ[0] = 0.5f;
    return scene;
}

void frames(benchmark::State& state, bool withModel, std::uint32_t textureSide) {
    std::string error;
    auto context = platform::OffscreenContext::create(512, 512, &error);
    if (!context) {
        state.SkipWithError(error.c_str());
        return;
    }
    initGl(Generation::Current);
    resizeViewport(Generation::Current, 512, 512);
    const Scene scene = withModel ? gridScene() : Scene{};
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(textureSide) * textureSide * 4, 200);
    const ShownImage image{textureSide, textureSide, pixels.data()};
    ViewState view;
    view.yaw = 20;
    drawScene(Generation::Current, scene, image, view);
    for (auto _ : state) {
        drawFrame(Generation::Current, scene, image, view);
        glFinish();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(frames, model20k_texture2048, true, 2048)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(frames, model20k_no_texture, true, 0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(frames, texture2048_only, false, 2048)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kelvane

BENCHMARK_MAIN();
