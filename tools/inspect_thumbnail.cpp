// kelvane-inspect thumbnail: a small square picture of a model or archive
// for a file manager, with a transparent background. A file that does not
// read cleanly gives no picture (the file manager keeps its own icon).
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/file_kind.h"
#include "common/result.h"
#include "common/utf8_path.h"
#include "export/image_writer.h"
#include "model/ebo_reader.h"
#include "platform/offscreen_context.h"
#include "render/gl.h"
#include "render/gl_setup.h"
#include "render/scene_drawing.h"
#include "render/texture_cache.h"
#include "textures/slot_images.h"
#include "tools/inspect_commands.h"
#include "tools/inspect_output.h"

namespace kelvane::inspect {

namespace {

struct ThumbnailOptions {
    std::string file;
    std::string output;
    int size = 256;
    std::uint64_t maxBytes = 64u << 20;
};

// The model as the viewer of whichever generation reads it cleanly would
// show it with every object on; the reason of the current reader when none does.
struct ReadModel {
    Generation generation = Generation::Current;
    Scene scene;
};
Result<ReadModel> readModel(const std::filesystem::path& path) {
    std::optional<ReadProblem> first;
    for (Generation generation : {Generation::Current, Generation::Legacy}) {
        ReadModel model{generation, {}};
        std::optional<ReadProblem> problem;
        loadEbo(generation, model.scene, path, &problem);
        if (!problem && model.scene.objectCount > 0) return model;
        if (!first) first = problem ? *problem : failure("the model has no objects");
    }
    return *first;
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

Result<std::vector<std::uint8_t>> drawModel(const ReadModel& model, const TextureStore& textures, int size) {
    auto context = platform::OffscreenContext::create(size, size);
    if (!context) return context.problem();
    initGl(model.generation);
    glClearColor(0, 0, 0, 0);  // what no object covers stays transparent
    resizeViewport(model.generation, size, size);
    TextureCache cache;
    SlotImages decoded;
    const SceneImages images = imagesByName(model.scene, textures, decoded);
    FramePose pose = initialPose(model.generation);
    if (const auto fit = drawScene(model.generation, model.scene, images, cache)) pose.fitDistance = fit->distance;
    // Unlit and untextured, a model is a flat white shape: its edges show what it is.
    const bool flat = textures.slotCount == 0 && model.scene.lightingOn == 0;
    drawFrame(model.generation, model.scene, images, cache, pose, {.wireframe = flat});
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

int thumbnail(const ThumbnailOptions& options) {
    const std::filesystem::path path = pathFromUtf8(options.file);
    std::error_code error;
    const std::uintmax_t bytes = std::filesystem::file_size(path, error);
    if (error) return complain(options.file + ": cannot open file: " + error.message());
    if (bytes > options.maxBytes)
        return complain(options.file + ": " + std::to_string(bytes) + " bytes, more than the " +
                        std::to_string(options.maxBytes) + " a thumbnail reads");
    const auto kind = fileKindOf(path);
    std::vector<std::uint8_t> rgba;
    if (kind == FileKind::Ebo) {
        const auto model = readModel(path);
        if (!model) return complain(options.file + ": " + model.problem().describe());
        ReadModel shown = *model;
        for (int s = 0; s < kSceneSlots; ++s) shown.scene.visible[s] = 1;
        shown.scene.lightingOn = shown.scene.normalsPresent;
        auto drawn = drawModel(shown, companionTextures(shown.generation, path), options.size);
        if (!drawn) return complain("no offscreen OpenGL: " + drawn.problem().what);
        rgba = std::move(*drawn);
    } else if (kind == FileKind::Fsh) {
        TextureStore store(Generation::Current);
        std::optional<ReadProblem> problem;
        store.loadArchive(path, &problem);
        if (problem || store.slotCount == 0)
            return complain(options.file + ": " + (problem ? problem->describe() : std::string("no images")));
        rgba = contactSheet(store, options.size);
    } else {
        return complain(options.file + ": neither a model (.ebo) nor an archive (.fsh)");
    }
    if (!writePng(pathFromUtf8(options.output), options.size, options.size, rgba.data()))
        return complain("cannot write " + options.output);
    return 0;
}

}  // namespace

void addThumbnailCommand(CLI::App& app, int& status) {
    auto options = std::make_shared<ThumbnailOptions>();
    CLI::App* command = app.add_subcommand("thumbnail", "Writes a square PNG picture of a model or archive, for file managers");
    command->add_option("FILE", options->file, "EBO model (textured by the FSH archive of its name beside it) or FSH archive")
        ->required();
    command->add_option("OUT", options->output, "PNG file to write")->required();
    command->add_option("-s,--size", options->size, "Width and height in pixels (default 256)")->check(CLI::Range(16, 1024));
    command->add_option("--max-size", options->maxBytes, "Larger files are skipped at once (default 64 MiB)");
    command->callback([options, &status] { status = thumbnail(*options); });
}

}  // namespace kelvane::inspect
