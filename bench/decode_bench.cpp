// Decode throughput of 2048 x 2048 DXT1 and DXT3 images, in pixels per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "textures/s3tc.h"

namespace {

constexpr std::uint32_t kSide = 2048;

// Random blocks: both DXT1 palette modes, every index and alpha pattern, so
// the branches of the decoder see real variety.
std::vector<std::uint8_t> randomBlocks(std::uint32_t blockBytes) {
    std::vector<std::uint8_t> data(kelvane::dxtDataBytes(kSide, kSide, blockBytes));
    std::mt19937 rng(7);
    for (auto& b : data) b = static_cast<std::uint8_t>(rng());
    return data;
}

template <void (*Decode)(std::uint32_t, std::uint32_t, const std::uint8_t*, std::uint8_t*)>
void decodeImage(benchmark::State& state, std::uint32_t blockBytes) {
    const auto source = randomBlocks(blockBytes);
    std::vector<std::uint8_t> pixels(kelvane::dxtDecodedPixels(kSide, kSide) * 4);
    for (auto _ : state) {
        Decode(kSide, kSide, source.data(), pixels.data());
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kSide * kSide);
}

void BM_DecodeDxt1_2048(benchmark::State& state) { decodeImage<kelvane::decodeDxt1>(state, kelvane::kDxt1BlockBytes); }
void BM_DecodeDxt3_2048(benchmark::State& state) { decodeImage<kelvane::decodeDxt3>(state, kelvane::kDxt3BlockBytes); }

BENCHMARK(BM_DecodeDxt1_2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeDxt3_2048)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
