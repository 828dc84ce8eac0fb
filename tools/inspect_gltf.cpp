// kelvane-inspect gltf: a model with the images the viewer draws it with, as
// one binary glTF file for Blender, f3d and web viewers.
#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "common/bmp_rows.h"
#include "export/gltf_export.h"
#include "model/ebo_reader.h"
#include "platform/bmp_decoder.h"
#include "platform/picture_decoder.h"
#include "textures/texture_store.h"
#include "tools/inspect_commands.h"
#include "tools/inspect_output.h"

namespace kelvane::inspect {
namespace {

struct GltfOptions {
    bool legacy = false;
    std::string model;
    std::string texture;
    std::string output;
    GltfChoices choices;
};

// ".bmp" for "face.BMP".
std::string extensionOf(const std::filesystem::path& path) {
    std::string extension = utf8Text(path.extension());
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return extension;
}

// Pictures by their extension, as the viewers open them; anything else is an archive.
bool isPicture(const std::filesystem::path& path) {
    const std::string extension = extensionOf(path);
    return extension == ".bmp" || extension == ".png" || extension == ".tga";
}

// Slot 0 with the picture, as "Load BMP" imports it.
Outcome importPicture(TextureStore& store, const std::filesystem::path& path) {
    if (extensionOf(path) == ".bmp") {
        const auto bitmap = platform::loadBmpFile(path);
        if (!bitmap) return bitmap.problem();
        if (bmpRowStride24(bitmap->width) * bitmap->height > bitmap->bottomUpBgrRows.size())
            return failure("not a readable BMP picture");
        if (Outcome size = platform::importableSize(bitmap->width, bitmap->height); !size) return size;
        store.importPixels(bitmap->width, bitmap->height, bitmap->bottomUpBgrRows);
        return Done{};
    }
    const auto picture = platform::loadRgbaPictureFile(path);
    if (!picture) return picture.problem();
    if (Outcome size = platform::importableSize(picture->width, picture->height); !size) return size;
    store.importRgba(picture->width, picture->height, picture->rgba);
    return Done{};
}

int exportGltf(const GltfOptions& options) {
    const Generation generation = generationOf(options.legacy);
    Scene scene;
    const std::filesystem::path model = pathFromUtf8(options.model);
    std::optional<ReadProblem> problem;
    loadEbo(generation, scene, model, &problem);
    if (problem) return complain(fileProblem(model, *problem));
    // As a load shows the model: object 0 alone, or every object by name.
    for (int s = 0; s < kSceneSlots; ++s) scene.visible[s] = s == 0 || options.choices.byName ? 1 : 0;

    TextureStore textures(generation);
    if (!options.texture.empty()) {
        const std::filesystem::path texture = pathFromUtf8(options.texture);
        if (isPicture(texture)) {
            if (const Outcome imported = importPicture(textures, texture); !imported)
                return complain(fileProblem(texture, imported.problem()));
        } else {
            textures.loadArchive(texture, &problem);
            if (problem) return complain(fileProblem(texture, *problem));
            textures.decodeSlot();
        }
    }
    const Outcome written = writeGltf(generation, scene, textures, options.choices, pathFromUtf8(options.output));
    return written ? 0 : complain(written.problem().what);
}

}  // namespace

void addGltfCommand(CLI::App& app, int& status) {
    auto options = std::make_shared<GltfOptions>();
    CLI::App* command =
        app.add_subcommand("gltf", "Write a model with the images the viewer draws it with as a binary glTF file");
    command->add_flag("--legacy", options->legacy, "Read as the earlier generation (kelvane-legacy)");
    command->add_option("MODEL", options->model, "EBO model file")->required();
    command->add_option("TEXTURE", options->texture,
                        "FSH texture archive, or a picture (.bmp, .png, .tga) as \"Load BMP\" imports it");
    command->add_option("-o,--output", options->output, "glTF binary file to write (.glb)")->required();
    command->add_flag("--by-name", options->choices.byName, "Each object with the archive image of its name");
    command->add_flag("--visible-only", options->choices.visibleOnly,
                      "Only the objects a load shows: object 0, or every object with --by-name");
    command->callback([options, &status] { status = exportGltf(*options); });
}

}  // namespace kelvane::inspect
