#include "thumbnail/thumbnail.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "model/ebo_reader.h"
#include "platform/offscreen_context.h"
#include "render/gl.h"
#include "render/gl_setup.h"
#include "render/scene_drawing.h"
#include "render/texture_cache.h"
#include "textures/slot_images.h"

namespace kelvane {

namespace {

// The model as the viewer of whichever generation reads it cleanly would
// show it with every object on; the reason of the current reader when none
// does. `load` reads the model with the given generation's reader.
template <typename Load>
Result<ThumbnailSubject> readModel(Load load) {
    std::optional<ReadProblem> first;
    for (Generation generation : {Generation::Current, Generation::Legacy}) {
        ThumbnailSubject model{FileKind::Ebo, generation, std::make_unique<Scene>(), TextureStore(generation)};
        std::optional<ReadProblem> problem;
        load(generation, *model.scene, &problem);
        if (!problem && model.scene->objectCount > 0) {
            for (int s = 0; s < kSceneSlots; ++s) model.scene->visible[s] = 1;
            model.scene->lightingOn = model.scene->normalsPresent;
            return model;
        }
        if (!first) first = problem ? *problem : failure("the model has no objects");
    }
    return *first;
}

// An archive with at least one image, read by `load`.
template <typename Load>
Result<ThumbnailSubject> readArchive(Load load) {
    ThumbnailSubject archive{FileKind::Fsh, Generation::Current, nullptr, TextureStore(Generation::Current)};
    std::optional<ReadProblem> problem;
    load(archive.textures, &problem);
    if (problem) return *problem;
    if (archive.textures.slotCount == 0) return failure("no images");
    return archive;
}

// The archive beside the model, if it reads cleanly in the model's generation.
TextureStore companionTextures(Generation generation, const std::filesystem::path& model) {
    TextureStore store(generation);
    if (const auto archive = companionArchive(model)) {
        std::optional<ReadProblem> problem;
        store.loadArchive(*archive, &problem);
        if (problem) return TextureStore(generation);
        store.decodeSlot();
    }
    return store;
}

Result<std::vector<std::uint8_t>> drawModel(const ThumbnailSubject& model, int size) {
    auto context = platform::OffscreenContext::create(size, size);
    if (!context) return failure("no offscreen OpenGL: " + context.problem().what);
    initGl(model.generation);
    glClearColor(0, 0, 0, 0);  // what no object covers stays transparent
    resizeViewport(model.generation, size, size);
    TextureCache cache;
    SlotImages decoded;
    const SceneImages images = imagesByName(*model.scene, model.textures, decoded);
    FramePose pose = initialPose(model.generation);
    if (const auto fit = drawScene(model.generation, *model.scene, images, cache)) pose.fitDistance = fit->distance;
    // Unlit and untextured, a model is a flat white shape: its edges show what it is.
    const bool flat = model.textures.slotCount == 0 && model.scene->lightingOn == 0;
    drawFrame(model.generation, *model.scene, images, cache, pose, {.wireframe = flat});
    return (*context)->readPixels();
}

// Up to four images of the archive, each fitted into its cell of a 2 x 2
// sheet (one image fills the square) over grey checks, nearest texel.
std::vector<std::uint8_t> contactSheet(const TextureStore& store, int size) {
    SlotImages decoded;
    std::vector<const DecodedImage*> images;
    for (std::uint32_t slot = 0; slot < store.slotCount && images.size() < 4; ++slot)
        if (const DecodedImage* image = decoded.get(store, slot); image && image->width > 0 && image->height > 0)
            images.push_back(image);
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size) * size * 4, 0);
    const int across = images.size() > 1 ? 2 : 1, cell = size / across;
    for (std::size_t i = 0; i < images.size(); ++i) {
        const DecodedImage& image = *images[i];
        const double scale = std::min(double(cell) / image.width, double(cell) / image.height);
        const int w = std::max(1, int(image.width * scale)), h = std::max(1, int(image.height * scale));
        const int x0 = int(i % across) * cell + (cell - w) / 2, y0 = int(i / across) * cell + (cell - h) / 2;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::size_t tx = std::min<std::size_t>(image.width - 1, std::size_t(x / scale));
                const std::size_t ty = std::min<std::size_t>(image.height - 1, std::size_t(y / scale));
                const std::uint8_t* texel = &image.rgba[(ty * image.width + tx) * 4];
                const int check = ((x0 + x) / 8 + (y0 + y) / 8) % 2 ? 0x99 : 0x66;
                std::uint8_t* out = &rgba[(std::size_t(y0 + y) * size + std::size_t(x0 + x)) * 4];
                for (int c = 0; c < 3; ++c) out[c] = std::uint8_t((texel[c] * texel[3] + check * (255 - texel[3])) / 255);
                out[3] = 255;
            }
    }
    return rgba;
}

}  // namespace

Result<ThumbnailSubject> readThumbnailFile(const std::filesystem::path& path) {
    const auto kind = fileKindOf(path);
    if (kind == FileKind::Ebo) {
        auto model = readModel([&](Generation generation, Scene& scene, ProblemSink problem) {
            loadEbo(generation, scene, path, problem);
        });
        if (model) model->textures = companionTextures(model->generation, path);
        return model;
    }
    if (kind == FileKind::Fsh)
        return readArchive([&](TextureStore& store, ProblemSink problem) { store.loadArchive(path, problem); });
    return failure("neither a model (.ebo) nor an archive (.fsh)");
}

Result<ThumbnailSubject> readThumbnailBytes(FileKind kind, std::vector<std::uint8_t> bytes) {
    if (kind == FileKind::Ebo)
        return readModel([&](Generation generation, Scene& scene, ProblemSink problem) {
            loadEboBytes(generation, scene, bytes, problem);  // a copy: each generation reads the same bytes
        });
    if (kind == FileKind::Fsh)
        return readArchive(
            [&](TextureStore& store, ProblemSink problem) { store.loadArchiveBytes(std::move(bytes), problem); });
    return failure("neither a model (.ebo) nor an archive (.fsh)");
}

Result<std::vector<std::uint8_t>> drawThumbnail(const ThumbnailSubject& subject, int size) {
    if (subject.kind == FileKind::Ebo && subject.scene) return drawModel(subject, size);
    return contactSheet(subject.textures, size);
}

}  // namespace kelvane
