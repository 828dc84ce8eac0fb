// Thousands of damaged archives: truncated, byte-flipped and with fields
// overwritten by extreme values. Every load must leave a store that decodes
// and shows only what fits (the sanitizer build catches any stray read).
#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

#include "tests/builders/fsh_builder.h"
#include "tests/support/temp_dir.h"
#include "textures/s3tc.h"
#include "textures/texture_store.h"

namespace kelvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Four images of assorted sizes with random data, DXT1 or DXT3, the third with an unknown code.
Bytes sampleArchive(std::mt19937& rng) {
    const std::uint32_t sizes[][2] = {{4, 4}, {8, 4}, {5, 7}, {12, 12}, {1, 1}, {16, 3}};
    test::FshArchive a;
    for (int i = 0; i < 4; ++i) {
        const auto [w, h] = sizes[rng() % 6];
        const bool dxt3 = rng() % 2;
        Bytes data(dxtDataBytes(w, h, dxt3 ? kDxt3BlockBytes : kDxt1BlockBytes));
        for (auto& b : data) b = static_cast<std::uint8_t>(rng());
        const auto code = static_cast<std::uint16_t>(i == 2 ? 0x7D : 352 + dxt3);
        a.images.push_back({"img" + std::to_string(i), code, w, h, data, {}, {}});
    }
    return test::buildFsh(a);
}

void mutate(Bytes& bytes, std::mt19937& rng) {
    const std::uint32_t extremes[] = {0,     1,          3,          4,          19,        20,
                                      21,    0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFF0, 2048, 65536};
    const unsigned kind = rng() % 4;
    if (kind == 0) {
        bytes.resize(rng() % (bytes.size() + 1));
    } else if (kind == 1) {  // flip a few bits
        for (int n = 1 + rng() % 6; n > 0 && !bytes.empty(); --n) bytes[rng() % bytes.size()] ^= 1u << (rng() % 8);
    } else {  // 32-bit fields become extreme values, in either byte order
        for (int n = 1 + rng() % 3; n > 0 && bytes.size() >= 4; --n) {
            const std::size_t at = rng() % (bytes.size() - 3);
            const std::uint32_t v = extremes[rng() % std::size(extremes)];
            const bool big = rng() % 2;
            for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (big ? 24 - 8 * i : 8 * i));
        }
    }
}

void expectConsistent(TextureStore& s, std::size_t fileSize) {
    // Too short for the header: like a missing file, earlier slots stay.
    if (fileSize < 16) {
        EXPECT_EQ(s.slotCount, 0u);
        return;
    }
    ASSERT_LE(s.slotCount, archiveCapacity(s.generation));
    const bool blank = s.generation == Generation::Current;
    const std::uint32_t n = s.slotCount;
    if (blank) {
        EXPECT_EQ(std::make_tuple(s.width[n], s.height[n], s.formatCode[n]), std::make_tuple(0u, 0u, 0));
    }
    for (std::uint32_t i = 0; i < n + (blank ? 1 : 0) && i < kTextureSlots; ++i) {
        if (i < n) {  // the blank slot keeps no data of this file
            EXPECT_LE(s.imageData[i].size(), fileSize);
            EXPECT_LE(s.name[i].size(), 15u);
        }
        s.currentSlot = i;
        s.decodeSlot();
        const ShownImage shown = shownImage(s);
        if (shown.pixels == nullptr) {
            EXPECT_EQ(std::make_pair(shown.width, shown.height), std::make_pair(0u, 0u));
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
    TextureStore stores[] = {TextureStore(Generation::Current), TextureStore(Generation::Legacy)};
    std::mt19937 rng(20240611);
    std::vector<Bytes> samples;
    for (int i = 0; i < 40; ++i) samples.push_back(sampleArchive(rng));
    int problems = 0;
    for (int round = 0; round < 2000 && !::testing::Test::HasFailure(); ++round) {
        Bytes bytes = samples[round % samples.size()];
        mutate(bytes, rng);
        if (rng() % 3 == 0) mutate(bytes, rng);
        test::writeFile(dir / "damaged.fsh", bytes);
        std::optional<ReadProblem> problem;
        stores[round % 2].loadArchive(dir / "damaged.fsh", &problem);
        if (problem) {
            ++problems;
            EXPECT_LE(problem->offset, std::uint64_t{0xFFFFFFFF} + 32);
            EXPECT_FALSE(problem->field.empty());
        }
        expectConsistent(stores[round % 2], bytes.size());
        if (::testing::Test::HasFailure()) ADD_FAILURE() << "round " << round;
    }
    EXPECT_GT(problems, 300);  // the damage must actually be noticed some of the time
}

}  // namespace
}  // namespace kelvane
