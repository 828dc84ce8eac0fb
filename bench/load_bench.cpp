// Loading the largest legal files against the fastest plain read of the same
// file, one read() into a new buffer of 2 MiB pages: an EBO of 20 objects of
// 65,535 vertices (positions, normals, texture coordinates, a strip over all
// of them) and an FSH archive of 19 DXT3 images of 2048 x 2048, both written
// by the project's own writers.
//
// `warm` times loads and plain reads in turn in this process, which sets up
// its allocator at start as the viewers do. `fresh_process` starts the
// program again for each load or read, so the figure is that of a first
// load, and takes the process's peak resident memory: the load's extra peak
// over an idle process with the same stores, against the file's size.
// Times are CPU time, medians of reads and loads taken back to back;
// load_per_read, the median of their ratios, is the figure to watch.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/fresh_process.h"
#include "common/file_bytes.h"
#include "model/ebo_reader.h"
#include "platform/frame_allocator.h"
#include "textures/texture_store.h"
#include "writers/ebo_writer.h"
#include "writers/file_writer.h"
#include "writers/fsh_writer.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

constexpr int kObjects = 20;
constexpr int kVertices = 65535;
constexpr int kImages = 19;
constexpr std::uint32_t kSide = 2048;
constexpr double kMiB = 1024.0 * 1024.0;

writers::EboObject largestObject(int k) {
    writers::EboObject object;
    object.name = "object" + std::to_string(k);
    object.positions.resize(kVertices);
    object.normals.emplace(kVertices);
    object.texCoords.resize(kVertices);
    object.strip.resize(kVertices);
    for (int i = 0; i < kVertices; ++i) {
        const float x = static_cast<float>(i % 256), y = static_cast<float>(i / 256);
        object.positions[i] = {x + k, y, 0.01f * x * y};
        (*object.normals)[i] = {0, 0, 1};
        object.texCoords[i] = {x / 255, y / 255};
        object.strip[i] = static_cast<std::uint16_t>(i);
    }
    return object;
}

// The two files, written once into a folder of their own that goes when
// the program ends.
struct LargestFiles {
    fs::path folder = fs::temp_directory_path() / ("kelvane_load_bench_" + std::to_string(getpid()));
    fs::path ebo = folder / "largest.ebo";
    fs::path fsh = folder / "largest.fsh";

    LargestFiles() {
        fs::create_directories(folder);
        std::vector<writers::EboObject> objects;
        for (int k = 0; k < kObjects; ++k) objects.push_back(largestObject(k));
        writers::writeFile(ebo, writers::makeEbo(objects, Generation::Current));
        writers::FshArchive archive;
        for (int i = 0; i < kImages; ++i) {
            writers::FshImage image{"image" + std::to_string(i), static_cast<std::uint16_t>(kFormatDxt3), kSide, kSide,
                                 std::vector<std::uint8_t>(static_cast<std::size_t>(kSide) * kSide,
                                                           static_cast<std::uint8_t>(i * 13 + 1)),
                                 {}, {}};
            archive.images.push_back(std::move(image));
        }
        writers::writeFile(fsh, writers::buildFsh(archive));
    }
    ~LargestFiles() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    const fs::path& path(bool model) const { return model ? ebo : fsh; }
};

const LargestFiles& largestFiles() {
    static const LargestFiles files;
    return files;
}

// The fastest plain read of the file: one read() into new memory of 2 MiB
// pages (FileBytes), which no page fault of 4 KiB pages slows. A load has to
// read the file at least once, so this is the least it can cost.
FileBytes readBytes(const fs::path& path) {
    const auto size = static_cast<std::size_t>(fs::file_size(path));
    FileBytes bytes(size);
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    for (std::size_t done = 0; fd >= 0 && done < size;) {
        const ssize_t n = read(fd, bytes.data() + done, size - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    if (fd >= 0) close(fd);
    return bytes;
}

// Bytes of file data the stores keep after a load.
std::size_t keptBytes(const Scene& scene) {
    std::size_t total = 0;
    for (int s = 0; s < kSceneSlots; ++s)
        total += scene.positions[s].size() * sizeof(Vec3f) + scene.normals[s].size() * sizeof(Vec3f) +
                 scene.texCoords[s].size() * sizeof(Vec2f) + scene.indices[s].size() * sizeof(std::uint16_t);
    return total;
}
std::size_t keptBytes(const TextureStore& store) {
    std::size_t total = 0;
    for (const auto& data : store.imageData) total += data.size();
    return total;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// Times of a read and a load taken back to back, so that both see the same
// load on the machine; medians, as a busy neighbour slows single pairs.
struct Pairs {
    std::vector<double> readMs, loadMs, ratios;
    void add(double read, double load) {
        readMs.push_back(read), loadMs.push_back(load), ratios.push_back(load / read);
    }
    void report(benchmark::State& state) const {
        state.counters["read_ms"] = median(readMs);
        state.counters["load_ms"] = median(loadMs);
        state.counters["load_per_read"] = median(ratios);
    }
};

void warm(benchmark::State& state, bool model) {
    const fs::path& path = largestFiles().path(model);
    Scene scene;
    TextureStore textures(Generation::Current);
    const auto read = [&] {
        const double start = bench::processCpuMs();
        {
            const auto bytes = readBytes(path);
            benchmark::DoNotOptimize(bytes.data());
        }
        return bench::processCpuMs() - start;
    };
    const auto load = [&] {
        const double start = bench::processCpuMs();
        if (model)
            loadEbo(scene, path);
        else
            textures.loadArchive(path);
        return bench::processCpuMs() - start;
    };
    // Each goes first in turn: whichever follows finds the 2 MiB pages the
    // other just gave back.
    Pairs pairs;
    bool readFirst = true;
    for (auto _ : state) {
        double readMs = 0, loadMs = 0;
        if (readFirst) readMs = read(), loadMs = load();
        else loadMs = load(), readMs = read();
        pairs.add(readMs, loadMs);
        readFirst = !readFirst;
    }
    if (model ? scene.objectCount != kObjects : textures.slotCount != kImages) state.SkipWithError("load failed");
    pairs.report(state);
}

// The child's side: one load (or read) in a process that has just started,
// printed as "<CPU ms> <bytes the stores keep> <peak resident KiB>". The
// stores are made first, as in the viewer.
int freshLoad(const std::string& what, const fs::path& path) {
    platform::setUpAllocatorForFrames();
    Scene scene;
    TextureStore textures(Generation::Current);
    const double start = bench::processCpuMs();
    std::size_t kept = 0;
    if (what == "read") {
        const auto bytes = readBytes(path);
        benchmark::DoNotOptimize(bytes.data());
    } else if (what == "ebo") {
        loadEbo(scene, path);
        kept = keptBytes(scene);
    } else if (what == "fsh") {
        textures.loadArchive(path);
        kept = keptBytes(textures);
    }
    const double ms = bench::processCpuMs() - start;
    std::printf("%f %zu %ld\n", ms, kept, bench::peakResidentKiB());
    return 0;
}

void freshProcess(benchmark::State& state, bool model) {
    const fs::path& path = largestFiles().path(model);
    const std::string kind = model ? "ebo" : "fsh";
    long idlePeak = 0, readPeak = 0, loadPeak = 0;
    std::size_t kept = 0;
    const auto run = [&](const std::string& what, double& ms, long& peak) {
        const auto child = bench::runFresh({"--fresh-load", what, path.string()});
        long childPeak = 0;
        std::istringstream(child.output) >> ms >> kept >> childPeak;
        peak = std::max(peak, childPeak);
        return child.ok;
    };
    Pairs pairs;
    bool readFirst = true;  // in turn, as in `warm`
    for (auto _ : state) {
        double ignored = 0, readMs = 0, loadMs = 0;
        const bool ok = run("none", ignored, idlePeak) &&
                        (readFirst ? run("read", readMs, readPeak) && run(kind, loadMs, loadPeak)
                                   : run(kind, loadMs, loadPeak) && run("read", readMs, readPeak));
        if (!ok) {
            state.SkipWithError("the fresh process failed");
            return;
        }
        pairs.add(readMs, loadMs);
        readFirst = !readFirst;
    }
    pairs.report(state);
    const double fileMiB = static_cast<double>(fs::file_size(path)) / kMiB;
    state.counters["file_MiB"] = fileMiB;
    state.counters["kept_MiB"] = static_cast<double>(kept) / kMiB;
    state.counters["read_peak_MiB"] = static_cast<double>(readPeak - idlePeak) / 1024;
    state.counters["load_peak_MiB"] = static_cast<double>(loadPeak - idlePeak) / 1024;
    state.counters["peak_per_file"] = static_cast<double>(loadPeak - idlePeak) / 1024 / fileMiB;
    // What the load holds beyond the file's bytes: the stores' own memory.
    state.counters["over_file_MiB"] = static_cast<double>(loadPeak - idlePeak) / 1024 - fileMiB;
}

BENCHMARK_CAPTURE(warm, largest_ebo, true)->Unit(benchmark::kMillisecond)->Iterations(20)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(warm, largest_fsh, false)->Unit(benchmark::kMillisecond)->Iterations(20)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(freshProcess, largest_ebo, true)->Unit(benchmark::kMillisecond)->Iterations(10)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(freshProcess, largest_fsh, false)->Unit(benchmark::kMillisecond)->Iterations(10)->MeasureProcessCPUTime();

}  // namespace
}  // namespace kelvane

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--fresh-load") == 0) return kelvane::freshLoad(argv[2], argv[3]);
    return kelvane::bench::runBenchmarks(argc, argv);
}
