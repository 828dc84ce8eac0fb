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
//
// `viewModes` draws three scenes (the sample head; a face of 3 objects,
// 10,000 vertices and three 512 x 512 images; the largest legal model, 20
// objects of 65,535 vertices with three 2048 x 2048 images) in each way the
// viewer can show them, taking turns frame by frame, and gives each way's
// CPU time per frame and its ratio to `upload`, the frame that uploads the
// chosen image on every draw: `model` (the model view with the chosen image
// kept as a texture), `by_name` (each object with the archive image of its
// name), `wireframe` (the model view with every triangle's edges over it) and
// `texture_view` (the chosen image at 1:1 with the UV layout of all objects;
// `uv_ms` is the time of working out that layout, which the viewer does once
// per change of the model, the visible objects or the images, not per frame). A table of them follows the benchmarks' output.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "bench/fresh_process.h"
#include "model/ebo_reader.h"
#include "platform/offscreen_context.h"
#include "platform/frame_allocator.h"
#include "render/gl.h"
#include "render/gl_setup.h"
#include "render/scene_drawing.h"
#include "render/texture_cache.h"
#include "render/texture_view.h"
#include "render/uv_layout.h"
#include "textures/slot_images.h"

namespace kelvane {
namespace {

constexpr int kColumns = 100;
constexpr int kRows = 200;  // 20,000 vertices
constexpr std::uint32_t kSide = 2048;
constexpr int kTimedFrames = 20;
constexpr int kClient = 512;  // the client area's width and height

// A gently curved sheet of columns x rows vertices `step` apart in slot s,
// its corner at (x0, y0), as one triangle strip, rows joined by repeated
// vertices. Each array is allocated once at its final size: growing it
// would release large blocks and so change the allocator's state, which the
// viewer never sees.
void addSheet(Scene& scene, int s, int columns, int rows, float x0, float y0, float step) {
    const float middle = (columns - 1) * step / 2;
    std::vector<Vec3f> positions, normals;
    std::vector<Vec2f> texCoords;
    positions.reserve(static_cast<std::size_t>(columns) * rows);
    normals.reserve(positions.capacity());
    texCoords.reserve(positions.capacity());
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const float x = c * step, y = r * step;
            positions.push_back({x0 + x, y0 + y, 0.02f * (x - middle) * (x - middle)});
            normals.push_back({0, 0, 1});
            texCoords.push_back({c / float(columns - 1), r / float(rows - 1)});
        }
    std::vector<std::uint16_t> indices;
    indices.reserve(static_cast<std::size_t>((rows - 1) * (2 * columns + 2)));
    for (int r = 0; r + 1 < rows; ++r) {
        if (r > 0) indices.push_back(static_cast<std::uint16_t>(r * columns));
        for (int c = 0; c < columns; ++c) {
            indices.push_back(static_cast<std::uint16_t>(r * columns + c));
            indices.push_back(static_cast<std::uint16_t>((r + 1) * columns + c));
        }
        indices.push_back(static_cast<std::uint16_t>((r + 1) * columns + columns - 1));
    }
    scene.indexCount[s] = static_cast<std::int32_t>(indices.size());
    scene.positions[s] = std::move(positions), scene.normals[s] = std::move(normals);
    scene.texCoords[s] = std::move(texCoords), scene.indices[s] = std::move(indices);
    scene.hasPositions[s] = scene.hasNormals[s] = scene.hasTexCoords[s] = scene.hasIndices[s] = 1;
    scene.visible[s] = 1;
    scene.objectCount = std::max(scene.objectCount, s + 1);
    scene.lightingOn = scene.normalsPresent = 1;
    scene.minX[s] = x0, scene.maxX[s] = x0 + (columns - 1) * step;
    scene.minY[s] = y0, scene.maxY[s] = y0 + (rows - 1) * step;
    scene.minZ[s] = 0, scene.maxZ[s] = 0.02f * middle * middle;
}

Scene gridScene() {
    Scene scene;
    addSheet(scene, 0, kColumns, kRows, 0, 0, 0.1f);
    return scene;
}

long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// A current context set up as the viewer's, or null with the reason.
std::unique_ptr<platform::OffscreenContext> viewerContext(std::string* error) {
    auto made = platform::OffscreenContext::create(kClient, kClient);
    if (!made) {
        *error = made.problem().what;
        return nullptr;
    }
    initGl(Generation::Current);
    resizeViewport(Generation::Current, kClient, kClient);
    return std::move(*made);
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
        : pixels(static_cast<std::size_t>(kSide) * kSide * 4, 200), context(viewerContext(error)) {
        if (!context) return;
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

// The ways of showing a scene that viewModes compares.
enum Mode { kUpload, kModel, kByName, kWireframe, kTextureView, kModes };
constexpr const char* kModeNames[kModes] = {"upload", "model", "by_name", "wireframe", "texture_view"};

// An opaque DXT1 image of side x side: every block's first colour is the
// larger, so no texel is transparent; colours vary from block to block.
std::vector<std::uint8_t> opaqueDxt1(std::uint32_t side, unsigned seed) {
    std::vector<std::uint8_t> data(static_cast<std::size_t>(side / 4) * (side / 4) * 8);
    for (std::size_t b = 0; b < data.size() / 8; ++b) {
        const auto first = static_cast<std::uint16_t>(0x8000 | ((b * 37 + seed * 0x2345) & 0x7FFF));
        const auto second = static_cast<std::uint16_t>(first >> 1);
        const std::uint8_t block[8] = {std::uint8_t(first), std::uint8_t(first >> 8), std::uint8_t(second),
                                       std::uint8_t(second >> 8), 0x1B, 0xE4, 0x4E, std::uint8_t(b)};
        std::memcpy(&data[b * 8], block, 8);
    }
    return data;
}

// What a viewer holds for a frame, made in its order: the texture store
// before the GL context, then the model, the decoded images of the archive
// slots and the textures it keeps.
struct ViewerSetUp {
    TextureStore textures{Generation::Current};
    std::unique_ptr<platform::OffscreenContext> context;
    Scene scene;
    SlotImages decoded;
    TextureCache cache;
    FramePose pose;
    double uvMs = 0;  // CPU time uvTriangles took, once
    std::vector<UvTriangle> layout;
    bool layoutKept = false;

    explicit ViewerSetUp(std::string* error) : context(viewerContext(error)) {}

    // The sample head and its archive (head, eyes, hair), as the samples
    // program writes them at build time.
    void loadSampleHead() {
        const std::filesystem::path folder = KELVANE_SAMPLES_DIR;
        loadEbo(scene, folder / "head.ebo");
        textures.loadArchive(folder / "head.fsh");
        textures.decodeSlot();
    }

    // `objects` sheets of `columns` columns sharing `rows` rows between them,
    // tiled side by side, and an archive of three opaque side x side DXT1
    // images; objects are named after the images in turn.
    void makeSheets(int objects, int columns, int rows, std::uint32_t side) {
        const int across = static_cast<int>(std::ceil(std::sqrt(objects)));
        const float step = 0.1f, width = columns * step * 1.05f, height = (rows / objects + 1) * step * 1.05f;
        for (int k = 0; k < objects; ++k) {
            addSheet(scene, k, columns, rows / objects + (k < rows % objects ? 1 : 0), (k % across) * width,
                     (k / across) * height, step);
            scene.names[k] = "image" + std::to_string(k % 3);
        }
        textures.slotCount = 3;
        for (std::uint32_t i = 0; i < 3; ++i) {
            textures.name[i] = "image" + std::to_string(i);
            textures.width[i] = textures.height[i] = side;
            textures.formatCode[i] = kFormatDxt1;
            textures.imageData[i] = opaqueDxt1(side, i);
        }
        textures.decodeSlot();
    }

    // Fits the view to the model as the first frame does; true when there
    // is a model whose every object has an image of its name.
    bool fitView() {
        pose.yaw = 20;
        if (const auto fit = drawScene(Generation::Current, scene, chosenImageOnly(textures), cache))
            pose.fitDistance = fit->distance;
        return scene.objectCount > 0 && objectsWithOwnImage(scene, textures) == slotsInUse(scene);
    }

    void frame(Mode mode) {
        const Generation g = Generation::Current;
        switch (mode) {
            case kUpload:
                // This draw uploads to whichever texture is bound: the default
                // one, as when it was the viewer's only way of drawing.
                glBindTexture(GL_TEXTURE_2D, 0);
                drawFrame(g, scene, shownImage(textures), pose);
                break;
            case kModel: drawFrame(g, scene, chosenImageOnly(textures), cache, pose); break;
            case kByName: drawFrame(g, scene, imagesByName(scene, textures, decoded), cache, pose); break;
            case kWireframe: drawFrame(g, scene, chosenImageOnly(textures), cache, pose, {.wireframe = true}); break;
            case kTextureView: {
                if (!layoutKept) {  // as the viewer keeps it
                    const double start = bench::processCpuMs();
                    std::array<bool, kSceneSlots> all;
                    all.fill(true);
                    layout = uvTriangles(g, scene, all);
                    uvMs = bench::processCpuMs() - start;
                    layoutKept = true;
                }
                const FrameImage image = chosenImageOnly(textures).images[0];
                const double width = image.image.width, height = image.image.height;
                const TexturePlacement place{(kClient - width) / 2, (kClient - height) / 2, 1};
                drawTextureView(image, place, kClient, kClient, &layout, cache);
                break;
            }
            case kModes: break;
        }
        glFinish();
    }
};

enum ModesScene { kSampleHead, kTypicalFace, kLargest };
constexpr const char* kSceneNames[] = {"sample_head", "face10k_3x512", "largest_20x65535_2048"};

// The rows of the table printed after the benchmarks.
std::vector<std::string>& viewModeRows() {
    static std::vector<std::string> rows;
    return rows;
}

// Each iteration draws one frame in each mode in turn, after one untimed
// frame of each (which uploads and decodes what the mode keeps); the
// iteration's time is that of all of them.
void viewModes(benchmark::State& state, ModesScene which) {
    std::string error;
    ViewerSetUp setUp(&error);
    if (!setUp.context) {
        state.SkipWithError(error.c_str());
        return;
    }
    if (which == kSampleHead)
        setUp.loadSampleHead();
    else if (which == kTypicalFace)
        setUp.makeSheets(3, 100, 100, 512);  // 10,000 vertices
    else
        setUp.makeSheets(kSceneSlots, 255, 257 * kSceneSlots, kSide);  // 65,535 vertices each
    if (!setUp.fitView()) {
        state.SkipWithError("no scene to draw (are the sample files built?)");
        return;
    }
    std::array<double, kModes> ms{};
    for (int m = 0; m < kModes; ++m) setUp.frame(Mode(m));
    for (auto _ : state)
        for (int m = 0; m < kModes; ++m) {
            const double start = bench::processCpuMs();
            setUp.frame(Mode(m));
            ms[m] += bench::processCpuMs() - start;
        }
    const auto n = static_cast<double>(state.iterations());
    char row[256];
    int used = std::snprintf(row, sizeof row, "%-22s", kSceneNames[which]);
    for (int m = 0; m < kModes; ++m) {
        state.counters[std::string(kModeNames[m]) + "_ms"] = ms[m] / n;
        if (m != kUpload) state.counters[std::string(kModeNames[m]) + "_x"] = ms[m] / ms[kUpload];
        used += std::snprintf(row + used, sizeof row - used, m == kUpload ? "%9.2f" : "%9.2f %5.2fx", ms[m] / n,
                              ms[m] / ms[kUpload]);
    }
    state.counters["uv_ms"] = setUp.uvMs;
    std::snprintf(row + used, sizeof row - used, "%9.2f", setUp.uvMs);
    viewModeRows().push_back(row);
}

void printViewModes() {
    if (viewModeRows().empty()) return;
    std::printf("\nCPU ms per frame, and its ratio to upload's (the image uploaded on every frame):\n%-22s%9s", "scene",
                kModeNames[kUpload]);
    for (int m = kUpload + 1; m < kModes; ++m) std::printf("%16s", kModeNames[m]);
    std::printf("%9s\n", "uv_ms");
    for (const std::string& row : viewModeRows()) std::printf("%s\n", row.c_str());
}

BENCHMARK_CAPTURE(frames, model20k_texture2048, true, kSide)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(frames, model20k_no_texture, true, 0)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(frames, texture2048_only, false, kSide)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(freshProcess, model20k_texture2048_allocator_set_up, true)
    ->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(freshProcess, model20k_texture2048_allocator_default, false)
    ->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(viewModes, sample_head, kSampleHead)
    ->Unit(benchmark::kMillisecond)->Iterations(100)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(viewModes, face10k_3x512, kTypicalFace)
    ->Unit(benchmark::kMillisecond)->Iterations(50)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(viewModes, largest_20x65535_2048, kLargest)
    ->Unit(benchmark::kMillisecond)->Iterations(4)->MeasureProcessCPUTime();

}  // namespace
}  // namespace kelvane

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--fresh-frames") == 0)
        return kelvane::freshFrames(std::strcmp(argv[2], "set-up") == 0);
    const int status = kelvane::bench::runBenchmarks(argc, argv);
    kelvane::printViewModes();
    return status;
}
