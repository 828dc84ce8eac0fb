// Thousands of damaged archives: truncated, byte-flipped and with fields
// overwritten by extreme values. Every load must leave a store that decodes
// and shows only what fits (the sanitizer build catches any stray read).
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/builders/fsh_builder.h"
#include "tests/textures/temp_dir.h"
#include "textures/s3tc.h"
#include "textures/texture_store.h"

namespace kelvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes sampleArchive(std::uint32_t seed) {
    std::mt19937 rng(seed);
    test::FshArchive a;
    const std::uint32_t sizes[][2] = {{4, 4}, {8, 4}, {5, 7}, {12, 12}, {1, 1}, {16, 3}};
    for (int i = 0; i < 4; ++i) {
        const auto& size = sizes[rng() % 6];
        const bool dxt3 = rng() % 2;
        Bytes rgba(size[0] * size[1] * 4);
        for (auto& b : rgba) b = static_cast<std::uint8_t>(rng());
        test::FshImage image{"img" + std::to_string(i), static_cast<std::uint16_t>(dxt3 ? 353 : 352), size[0],
                                size[1],
                                dxt3 ? test::encodeDxt3(size[0], size[1], rgba)
                                     : test::encodeDxt1(size[0], size[1], rgba),
                                {}, {}};
        if (i == 2) image.formatCode = 0x7D;
        a.images.push_back(image);
    }
    return test::buildFsh(a);
}

void mutate(Bytes& bytes, std::mt19937& rng) {
    const std::uint32_t extremes[] = {0, 1, 3, 4, 19, 20, 21, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFF0, 2048, 65536};
    switch (rng() % 4) {
        case 0:  // truncate
            bytes.resize(rng() % (bytes.size() + 1));
            break;
        case 1:  // flip a few bytes
            for (int n = 1 + rng() % 6; n > 0 && !bytes.empty(); --n) bytes[rng() % bytes.size()] ^= 1u << (rng() % 8);
            break;
        default: {  // overwrite 32-bit fields with extreme values, either byte order
            for (int n = 1 + rng() % 3; n > 0 && bytes.size() >= 4; --n) {
                const std::size_t at = rng() % (bytes.size() - 3);
                const std::uint32_t v = extremes[rng() % std::size(extremes)];
                const bool big = rng() % 2;
                for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (big ? 24 - 8 * i : 8 * i));
            }
        }
    }
}

void expectConsistent(TextureStore& s, std::size_t fileSize) {
    // Too short for the header: like a file that cannot be opened, the store
    // keeps an earlier load's slots (checked when that load happened).
    if (fileSize < 16) {
        EXPECT_EQ(s.slotCount, 0u);
        return;
    }
    const bool blank = s.generation == Generation::Current;
    ASSERT_LE(s.slotCount, archiveCapacity(s.generation));
    if (blank) {
        EXPECT_EQ(s.width[s.slotCount], 0u);
        EXPECT_EQ(s.height[s.slotCount], 0u);
        EXPECT_EQ(s.formatCode[s.slotCount], 0);
    }
    const std::uint32_t last = s.slotCount + (blank ? 1 : 0);
    for (std::uint32_t i = 0; i < last && i < kTextureSlots; ++i) {
        if (i < s.slotCount) {  // the blank slot keeps no data of this file
            EXPECT_LE(s.imageData[i].size(), fileSize);
            EXPECT_LE(s.name[i].size(), 15u);
        }
        s.currentSlot = i;
        s.decodeSlot();
        const ShownImage shown = shownImage(s);
        if (shown.pixels == nullptr) {
            EXPECT_EQ(shown.width, 0u);
            EXPECT_EQ(shown.height, 0u);
            continue;
        }
        EXPECT_LE(std::uint64_t{shown.width} * shown.height, s.pixelCapacity());
        const std::int32_t code = s.formatCode[i];
        if (code == kFormatDxt1 || code == kFormatDxt3) {
            EXPECT_EQ(slotFault(s, i), SlotFault::None);
            const std::uint32_t block = code == kFormatDxt1 ? kDxt1BlockBytes : kDxt3BlockBytes;
            EXPECT_GE(s.imageData[i].size(), dxtDataBytes(shown.width, shown.height, block));
        }
    }
}

TEST(FshRobustness, DamagedArchivesNeverReadOutsideAndStayConsistent) {
    test::TempDir dir;
    const auto path = dir / "damaged.fsh";
    TextureStore current(Generation::Current);
    TextureStore legacy(Generation::Legacy);
    std::mt19937 rng(20240611);
    std::vector<Bytes> samples;
    for (std::uint32_t seed = 0; seed < 40; ++seed) samples.push_back(sampleArchive(seed));
    int problems = 0;
    for (int round = 0; round < 2000; ++round) {
        Bytes bytes = samples[round % samples.size()];
        mutate(bytes, rng);
        if (rng() % 3 == 0) mutate(bytes, rng);
        test::writeFile(path, bytes);
        TextureStore& s = round % 2 ? legacy : current;
        std::optional<ReadProblem> problem;
        s.loadArchive(path, &problem);
        if (problem) {
            ++problems;
            EXPECT_LE(problem->offset, std::uint64_t{0xFFFFFFFF} + 32);
            EXPECT_FALSE(problem->field.empty());
        }
        expectConsistent(s, bytes.size());
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "round " << round;
            break;
        }
    }
    // The damage must actually be noticed some of the time.
    EXPECT_GT(problems, 300);
}

}  // namespace
}  // namespace kelvane
