#pragma once

// A small square picture of a model or archive for file managers, with a
// transparent background: kelvane-inspect thumbnail writes it as a PNG, the
// Windows thumbnail handler hands it to Explorer. A file that does not read
// cleanly gives no picture (the file manager keeps its own icon).

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "common/file_kind.h"
#include "common/generation.h"
#include "common/result.h"
#include "model/scene.h"
#include "textures/texture_store.h"

namespace kelvane {

// What a thumbnail shows: a model with every object on, textured by name
// with `textures` (its companion archive, or none), or an archive's images.
struct ThumbnailSubject {
    FileKind kind = FileKind::Ebo;
    Generation generation = Generation::Current;
    std::unique_ptr<Scene> scene;  // a model only; scenes are large
    TextureStore textures{Generation::Current};
};

// A model (.ebo), its companion archive beside it, or an archive (.fsh),
// the kind by the extension.
Result<ThumbnailSubject> readThumbnailFile(const std::filesystem::path& path);
// A file already in memory (a stream, no name): a model has no companion
// archive, so it is drawn lit, or outlined.
Result<ThumbnailSubject> readThumbnailBytes(FileKind kind, std::vector<std::uint8_t> bytes);

// The picture, size x size RGBA, top row first; fails only without an
// offscreen GL context (a model; a contact sheet needs none).
Result<std::vector<std::uint8_t>> drawThumbnail(const ThumbnailSubject& subject, int size);

}  // namespace kelvane
