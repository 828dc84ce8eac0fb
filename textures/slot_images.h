#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "textures/texture_store.h"

namespace kelvane {

// One archive image decoded into a buffer of its own, so that several can be
// drawn in one frame beside the store's shared buffer.
struct DecodedImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba;  // width * height pixels (and any rows of a last partial block), row 0 first
    std::uint64_t revision = 0;      // fresh for each decode
};

// The archive image (among those the menu lists) whose name equals `name`,
// ignoring the case of letters (Latin-1); names end at their first NUL. The
// first such slot, or nothing.
std::optional<std::uint32_t> slotNamed(const TextureStore& store, std::string_view name);

// Archive slots decoded on first use and kept while the store's revision
// holds; a slot that cannot be decoded (see slotFault) gives null.
class SlotImages {
public:
    const DecodedImage* get(const TextureStore& store, std::uint32_t slot);

private:
    std::uint64_t revision_ = 0;
    std::array<std::optional<DecodedImage>, kTextureSlots> images_;
    std::array<bool, kTextureSlots> tried_{};
};

}  // namespace kelvane
