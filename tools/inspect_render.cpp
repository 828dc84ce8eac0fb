// kelvane-inspect render: the frame a viewer would show for a given model,
// texture and view, drawn offscreen and written as a PNG picture.
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "model/ebo_reader.h"
#include "platform/offscreen_context.h"
#include "render/gl_setup.h"
#include "render/scene_drawing.h"
#include "render/texture_cache.h"
#include "render/texture_view.h"
#include "render/uv_layout.h"
#include "textures/texture_store.h"
#include "export/image_writer.h"
#include "tools/inspect_commands.h"
#include "tools/inspect_output.h"


namespace kelvane::inspect {

namespace {

struct RenderOptions {
    bool legacy = false;
    std::filesystem::path model;
    std::filesystem::path archive;
    int slot = 0;
    bool blank = false;
    std::string size = "512x512";
    double yaw = 0, pitch = 0, zoom = 0;
    std::string pan;
    std::string show, hide;
    std::string light;
    bool byName = false;
    bool wireframe = false;
    bool textureView = false;
    double scale = 1;
    bool uv = false;
    std::filesystem::path output;
    CLI::Option* slotOption = nullptr;
    CLI::Option* zoomOption = nullptr;
};

bool parseSize(const std::string& text, int& width, int& height) {
    char x = 0, rest = 0;
    std::istringstream in(text);
    return (in >> width >> x >> height) && (x == 'x' || x == 'X') && !(in >> rest) && width > 0 && height > 0 &&
           width <= 8192 && height <= 8192;
}

bool parsePan(const std::string& text, double& x, double& y) {
    char comma = 0, rest = 0;
    std::istringstream in(text);
    return (in >> x >> comma >> y) && comma == ',' && !(in >> rest);
}

bool parseIndexList(const std::string& text, std::vector<int>& out) {
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        std::size_t used = 0;
        try {
            const int index = std::stoi(item, &used);
            if (used != item.size() || index < 0) return false;
            out.push_back(index);
        } catch (const std::exception&) {
            return false;
        }
    }
    return !out.empty();
}

CLI::Validator validator(const char* name, bool (*check)(const std::string&)) {
    return CLI::Validator([check, name](std::string& value) { return check(value) ? std::string() : std::string(name); },
                          "", name);
}

// Shows the listed objects only (or all but the listed ones).
bool applyVisibility(Scene& scene, const RenderOptions& options, std::string& error) {
    const bool showing = !options.show.empty();
    const bool hiding = !options.hide.empty();
    if (!showing && !hiding) {
        // As after "Load EBO": object 0 alone, or every object by name.
        for (int s = 0; s < kSceneSlots; ++s) scene.visible[s] = s == 0 || options.byName ? 1 : 0;
        return true;
    }
    std::vector<int> listed;
    parseIndexList(showing ? options.show : options.hide, listed);
    for (int s = 0; s < kSceneSlots; ++s) scene.visible[s] = showing ? 0 : 1;
    for (int index : listed) {
        if (index >= scene.objectCount) {
            error = "object " + std::to_string(index) + " does not exist (the model has " +
                    std::to_string(scene.objectCount) + " objects)";
            return false;
        }
        scene.visible[index] = showing ? 1 : 0;
    }
    return true;
}

// The frame as the viewer draws it, in a width x height client area.
// The frame's RGBA pixels, top row first.
Result<std::vector<std::uint8_t>> drawOffscreen(Generation generation, const Scene& scene,
                                                const TextureStore& textures, FramePose pose,
                                                const RenderOptions& options, int width, int height) {
    auto context = platform::OffscreenContext::create(width, height);
    if (!context) return context.problem();
    initGl(generation);
    resizeViewport(generation, width, height);
    TextureCache cache;
    SlotImages decoded;
    const SceneImages images = options.byName ? imagesByName(scene, textures, decoded) : chosenImageOnly(textures);
    if (options.textureView) {
        // Centred, as the texture view opens; the layout of the visible
        // objects drawn with the shown image.
        std::array<bool, kSceneSlots> objects{};
        for (int s = 0; s < kSceneSlots; ++s)
            objects[s] = images.slotOf[s] < 0 || static_cast<std::uint32_t>(images.slotOf[s]) == textures.currentSlot;
        const std::vector<UvTriangle> layout = uvTriangles(generation, scene, objects);
        const ShownImage& shown = images.images[0].image;
        const TexturePlacement place{(width - shown.width * options.scale) / 2, (height - shown.height * options.scale) / 2,
                                     options.scale};
        drawTextureView(images.images[0], place, width, height, options.uv ? &layout : nullptr, cache);
        return (*context)->readPixels();
    }
    // As at start-up: one draw sets the fit values, then the frame itself.
    if (const auto fit = drawScene(generation, scene, images, cache)) pose.fitDistance = fit->distance;
    drawFrame(generation, scene, images, cache, pose, {.wireframe = options.wireframe});
    return (*context)->readPixels();
}

int render(const RenderOptions& options) {
    const Generation generation = generationOf(options.legacy);
    int width = 0, height = 0;
    parseSize(options.size, width, height);

    // A model or archive that does not load cleanly draws no picture: the
    // frame would show something other than the file.
    Scene scene;
    FramePose pose = initialPose(generation);
    if (!options.model.empty()) {
        std::optional<ReadProblem> problem;
        loadEbo(generation, scene, options.model, &problem);
        if (problem) return complain(fileProblem(options.model, *problem));
        std::string error;
        if (!applyVisibility(scene, options, error)) return complain(error);
    } else if (!options.show.empty() || !options.hide.empty()) {
        return complain("--show and --hide need --model");
    }

    TextureStore textures(generation);
    if (!options.archive.empty()) {
        std::optional<ReadProblem> problem;
        textures.loadArchive(options.archive, &problem);
        if (problem) return complain(fileProblem(options.archive, *problem));
        if (options.blank) {
            textures.currentSlot = textures.slotCount;  // the blank slot follows the images
        } else {
            if (options.slotOption->count() > 0 && static_cast<std::uint32_t>(options.slot) >= textures.slotCount)
                return complain("the archive has " + std::to_string(textures.slotCount) + " images, no slot " +
                                std::to_string(options.slot));
            textures.currentSlot = static_cast<std::uint32_t>(options.slot);
            textures.decodeSlot();
        }
    }

    if (options.light == "on") scene.lightingOn = 1;
    if (options.light == "off") scene.lightingOn = 0;
    pose.yaw = options.yaw;
    pose.pitch = options.pitch;
    if (options.zoomOption->count() > 0) pose.zoom = options.zoom;
    if (!options.pan.empty()) parsePan(options.pan, pose.panX, pose.panY);

    auto drawn = drawOffscreen(generation, scene, textures, pose, options, width, height);
    if (!drawn) return complain("no offscreen OpenGL: " + drawn.problem().what);
    std::vector<std::uint8_t>& rgba = *drawn;

    // The window shows the colour only; the alpha left by blending is not part of the picture.
    for (std::size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    if (!writePng(options.output, width, height, rgba.data()))
        return complain("cannot write " + utf8Text(options.output));
    return 0;
}

}  // namespace

void addRenderCommand(CLI::App& app, int& status) {
    auto options = std::make_shared<RenderOptions>();
    CLI::App* command = app.add_subcommand("render", "Draws the frame a viewer would show, into a PNG file");
    command->add_flag("--legacy", options->legacy, "Draw as kelvane-legacy (earlier file generation)");
    auto* model = command->add_option("--model", options->model, "EBO model file");
    auto* archive = command->add_option("--archive", options->archive, "FSH texture archive");
    options->slotOption = command->add_option("--slot", options->slot, "Archive image to show (default 0)")
                              ->check(CLI::NonNegativeNumber)
                              ->needs(archive);
    auto* blank = command->add_flag("--blank", options->blank, "Show the blank slot: the model in white")
                      ->needs(archive)
                      ->excludes(options->slotOption);
    command->add_option("--size", options->size, "Client area as WxH (default 512x512)")
        ->check(validator("WxH, each 1 to 8192", [](const std::string& v) {
            int w, h;
            return parseSize(v, w, h);
        }));
    command->add_option("--yaw", options->yaw, "Turn about Y in degrees");
    command->add_option("--pitch", options->pitch, "Turn about X in degrees");
    command->add_option("--pan", options->pan, "Pan as X,Y")->check(validator("X,Y", [](const std::string& v) {
        double x, y;
        return parsePan(v, x, y);
    }));
    options->zoomOption = command->add_option("--zoom", options->zoom, "Zoom term along Z");
    auto indexList = validator("comma-separated object indices", [](const std::string& v) {
        std::vector<int> list;
        return parseIndexList(v, list);
    });
    auto* show = command->add_option("--show", options->show, "Show only these objects")->check(indexList)->needs(model);
    command->add_option("--hide", options->hide, "Show all objects but these")
        ->check(indexList)
        ->needs(model)
        ->excludes(show);
    command->add_option("--light", options->light, "Lighting switch")->check(CLI::IsMember({"on", "off"}));
    command->add_flag("--by-name", options->byName,
                      "Each object with the archive image of its name, every object shown unless --show or --hide");
    command->add_flag("--wireframe", options->wireframe, "Every drawn triangle's edges over the model");
    auto* textureView = command->add_flag("--texture-view", options->textureView,
                                          "The shown image flat and centred instead of the model");
    command->add_option("--scale", options->scale, "Texture view: pixels per texel, a power of two from 1/8 to 32")
        ->check(validator("a power of two from 0.125 to 32", [](const std::string& v) {
            for (int step = -3; step <= 5; ++step)
                if (std::strtod(v.c_str(), nullptr) == std::ldexp(1.0, step)) return true;
            return false;
        }))
        ->needs(textureView);
    command->add_flag("--uv", options->uv, "Texture view: the UV layout of the objects drawn with the image")
        ->needs(textureView);
    command->add_option("-o,--output", options->output, "PNG file to write")->required();
    command->callback([options, blank, &status] {
        if (options->legacy && blank->count() > 0) {
            status = complain("the earlier generation has no blank slot");
            return;
        }
        status = render(*options);
    });
}

}  // namespace kelvane::inspect
