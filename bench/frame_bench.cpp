// CPU time of one viewer frame drawn offscreen: a 20,000-vertex model
// (normals, texture coordinates, lighting on) with a 2048 x 2048 texture
// uploaded afresh, in a 512 x 512 client area. Each frame ends with glFinish
// so the GL work is counted, not just queued; times are the whole process's
// CPU (the GL driver draws on threads of its own).
//
// The program sets up its allocator at start as the viewers do. Besides the
// frames drawn in this (warm) process, `fresh_process` starts the program
// again and times the first frames of a process that has just started, with
// the viewer's allocator set-up and without it, side by side with the warm
// figure.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "bench/fresh_process.h"
#include "platform/egl/offscreen_context.h"
#include "platform/frame_allocator.h"
#include "render/gl.h"
#include "render/gl_setup.h"
#include "render/scene_drawing.h"

namespace kelvane {
namespace {

constexpr int kColumns = 100;
constexpr int kRows = 200;  // 20,000 vertices
constexpr std::uint32_t kSide = 2048;
constexpr int kTimedFrames = 20;

// A gently curved sheet as one triangle strip, rows joined by repeated
// vertices. Each array is allocated once at its final size, as a load makes
// it: growing it would release large blocks and so change the allocator's
// state, which the viewer never sees.
Scene gridScene() {
    Scene scene;
    auto& positions = scene.positions[0];
    positions.reserve(kColumns * kRows);
    scene.normals[0].reserve(kColumns * kRows);
    scene.texCoords[0].reserve(kColumns * kRows);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const float x = c * 0.1f, y = r * 0.1f;
            positions.push_back({x, y, 0.02f * (x - 5) * (x - 5)});
            scene.normals[0].push_back({0, 0, 1});
            scene.texCoords[0].push_back({c / float(kColumns - 1), r / float(kRows - 1)});
        }
    auto& indices = scene.indices[0];
    indices.reserve(static_cast<std::size_t>((kRows - 1) * (2 * kColumns + 2)));
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

long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Everything a frame reads, made in the viewer's order: the texture store's
// pixel buffer before the GL context, then the model.
struct FrameSetUp {
    std::vector<std::uint8_t> pixels;
    std::unique_ptr<platform::OffscreenContext> context;
    Scene scene;
    ShownImage image;
    FramePose pose;

    FrameSetUp(bool withModel, std::uint32_t textureSide, std::string* error)
        : pixels(static_cast<std::size_t>(kSide) * kSide * 4, 200) {
        auto made = platform::OffscreenContext::create(512, 512);
        if (!made) {
            *error = made.problem().what;
            return;
        }
        context = std::move(*made);
        initGl(Generation::Current);
        resizeViewport(Generation::Current, 512, 512);
        if (withModel) scene = gridScene();
        image = {textureSide, textureSide, pixels.data()};
        pose.yaw = 20;
        if (const auto fit = drawScene(Generation::Current, scene, image)) pose.fitDistance = fit->distance;  // as at start-up
    }
    void frame() {
        drawFrame(Generation::Current, scene, image, pose);
        glFinish();
    }
};

// Mean CPU milliseconds and minor page faults per frame over `count` frames.
struct FrameCost {
    double ms = 0;
    double faults = 0;
};
FrameCost timeFrames(FrameSetUp& setUp, int count) {
    const double cpu = bench::processCpuMs();
    const long faults = minorFaults();
    for (int i = 0; i < count; ++i) setUp.frame();
    return {(bench::processCpuMs() - cpu) / count, static_cast<double>(minorFaults() - faults) / count};
}

void frames(benchmark::State& state, bool withModel, std::uint32_t textureSide) {
    std::string error;
    FrameSetUp setUp(withModel, textureSide, &error);
    if (!setUp.context) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) setUp.frame();
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The child's side: the first frames after start-up, printed as
// "<ms per frame> <faults per frame>".
int freshFrames(bool allocatorSetUp) {
    if (allocatorSetUp) platform::setUpAllocatorForFrames();
    std::string error;
    FrameSetUp setUp(true, kSide, &error);
    if (!setUp.context) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const FrameCost cost = timeFrames(setUp, kTimedFrames);
    std::printf("%f %f\n", cost.ms, cost.faults);
    return 0;
}

// Each iteration starts a fresh process and takes its first frames; then
// this warm process draws the same frames for comparison.
void freshProcess(benchmark::State& state, bool allocatorSetUp) {
    double freshMs = 0, freshFaults = 0;
    for (auto _ : state) {
        const auto run = bench::runFresh({"--fresh-frames", allocatorSetUp ? "set-up" : "default"});
        double ms = 0, faults = 0;
        std::istringstream(run.output) >> ms >> faults;
        if (!run.ok || ms <= 0) {
            state.SkipWithError("the fresh process failed");
            return;
        }
        freshMs += ms;
        freshFaults += faults;
    }
    std::string error;
    FrameSetUp warm(true, kSide, &error);
    if (!warm.context) {
        state.SkipWithError(error.c_str());
        return;
    }
    timeFrames(warm, kTimedFrames);  // settle
    const FrameCost warmCost = timeFrames(warm, kTimedFrames);
    const auto n = static_cast<double>(state.iterations());
    state.counters["fresh_ms"] = freshMs / n;
    state.counters["warm_ms"] = warmCost.ms;
    state.counters["fresh_per_warm"] = freshMs / n / warmCost.ms;
    state.counters["fresh_faults"] = freshFaults / n;
    state.counters["warm_faults"] = warmCost.faults;
}

BENCHMARK_CAPTURE(frames, model20k_texture2048, true, kSide)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(frames, model20k_no_texture, true, 0)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(frames, texture2048_only, false, kSide)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(freshProcess, model20k_texture2048_allocator_set_up, true)
    ->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(freshProcess, model20k_texture2048_allocator_default, false)
    ->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();

}  // namespace
}  // namespace kelvane

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--fresh-frames") == 0)
        return kelvane::freshFrames(std::strcmp(argv[2], "set-up") == 0);
    return kelvane::bench::runBenchmarks(argc, argv);
}
