#include "textures/texture_store.h"

namespace kelvane {

// Placeholder until the store lands.
TextureStore::TextureStore(Generation g)
    : generation(g), pixels(g == Generation::Legacy ? 4u << 20 : 16u << 20, 0) {}
void TextureStore::decodeSlot() {}
void TextureStore::loadArchive(const std::filesystem::path&, ProblemSink) {}
void TextureStore::importPixels(std::uint32_t, std::uint32_t, std::span<const std::uint8_t>) {}
ShownImage shownImage(const TextureStore&) { return {}; }

}  // namespace kelvane
