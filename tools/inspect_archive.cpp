// kelvane-inspect archive / decode / export: what the viewers read from FSH
// texture archives, and the pixels they would upload.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "textures/texture_store.h"
#include "tools/inspect_commands.h"
#include "export/image_export.h"
#include "export/image_writer.h"
#include "tools/inspect_output.h"

namespace kelvane::inspect {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

// One line, as `model` prints it: what is wrong and where.
Json problemJson(const std::optional<ReadProblem>& problem) {
    if (!problem) return nullptr;
    return problem->field.empty() ? problem->what : problem->describe();
}

Json slotJson(const TextureStore& store, std::uint32_t i) {
    return Json{{"slot", i},
                {"name", latin1ToUtf8(store.name[i])},
                {"width", store.width[i]},
                {"height", store.height[i]},
                {"formatCode", store.formatCode[i]},
                {"checked", store.checked[i]},
                {"dataSize", store.imageData[i].size()}};
}

void warn(const std::string& file, const std::optional<ReadProblem>& problem) {
    if (problem) std::cerr << "kelvane-inspect: " << file << ": " << problem->describe() << "\n";
}

int runArchive(bool legacy, const std::vector<std::string>& files) {
    TextureStore store(generationOf(legacy));
    Json loads = Json::array();
    bool anyProblem = false;
    for (const auto& file : files) {
        std::optional<ReadProblem> problem;
        store.loadArchive(pathFromUtf8(file), &problem);
        anyProblem = anyProblem || problem.has_value();
        loads.push_back(Json{{"path", file}, {"problem", problemJson(problem)}});
    }
    Json out{{"generation", traits(store.generation).name},
             {"loads", loads},
             {"currentSlot", store.currentSlot},
             {"slotCount", store.slotCount}};
    Json slots = Json::array();
    for (std::uint32_t i = 0; i < store.slotCount; ++i) slots.push_back(slotJson(store, i));
    out["slots"] = slots;
    if (traits(store.generation).blankSlot) {
        const std::uint32_t b = store.slotCount;
        out["blank"] = Json{{"width", store.width[b]},
                            {"height", store.height[b]},
                            {"formatCode", store.formatCode[b]},
                            {"checked", store.checked[b]}};
    }
    // Paths are bytes, not always UTF-8: show a stray byte as U+FFFD rather than fail.
    std::cout << out.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
    return anyProblem ? 1 : 0;
}

// Makes `slot` the shown one and decodes it. Returns why it cannot be, or
// nothing when the shared buffer now holds its pixels.
std::optional<std::string> showSlot(TextureStore& store, std::uint32_t slot) {
    if (slot >= store.slotCount)
        return "slot " + std::to_string(slot) + " is out of range: the archive has " +
               std::to_string(store.slotCount) + " images";
    const SlotFault fault = slotFault(store, slot);
    if (fault != SlotFault::None)
        return "slot " + std::to_string(slot) + " (format " + std::to_string(store.formatCode[slot]) + ", " +
               std::to_string(store.width[slot]) + " x " + std::to_string(store.height[slot]) +
               ") cannot be decoded: " + describeSlotFault(fault);
    store.currentSlot = slot;
    store.decodeSlot();
    return std::nullopt;
}

bool writeRaw(const fs::path& path, const ShownImage& image) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.pixels),
              static_cast<std::streamsize>(std::uint64_t{image.width} * image.height * 4));
    out.close();
    return !out.fail();
}

bool endsWith(std::string text, const std::string& suffix) {
    for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

int runDecode(bool legacy, const std::string& file, std::uint32_t slot, const std::string& output) {
    TextureStore store(generationOf(legacy));
    std::optional<ReadProblem> problem;
    store.loadArchive(pathFromUtf8(file), &problem);
    warn(file, problem);
    if (const auto why = showSlot(store, slot)) {
        std::cerr << "kelvane-inspect: " << file << ": " << *why << "\n";
        return 1;
    }
    const ShownImage image = shownImage(store);
    const bool png = endsWith(output, ".png");
    if (png && (image.width == 0 || image.height == 0)) {
        std::cerr << "kelvane-inspect: " << file << ": slot " << slot << " is empty (" << image.width << " x "
                  << image.height << "); a PNG needs at least one pixel\n";
        return 1;
    }
    const bool written = png ? writePng(pathFromUtf8(output), image.width, image.height, image.pixels)
                             : writeRaw(pathFromUtf8(output), image);
    if (!written) {
        std::cerr << "kelvane-inspect: cannot write " << output << "\n";
        return 1;
    }
    return problem ? 1 : 0;
}

int runExport(bool legacy, const std::string& file, const std::string& dir) {
    TextureStore store(generationOf(legacy));
    std::optional<ReadProblem> problem;
    store.loadArchive(pathFromUtf8(file), &problem);
    warn(file, problem);
    std::error_code error;
    fs::create_directories(pathFromUtf8(dir), error);
    if (error) {
        std::cerr << "kelvane-inspect: cannot create " << dir << ": " << error.message() << "\n";
        return 1;
    }
    const ImagesExported exported = exportArchiveImages(store, pathFromUtf8(dir));
    for (const std::string& why : exported.notDecoded) std::cerr << "kelvane-inspect: " << file << ": skipped " << why << "\n";
    for (const fs::path& target : exported.notWritten) std::cerr << "kelvane-inspect: cannot write " << utf8Text(target) << "\n";
    return !exported.complete() || problem ? 1 : 0;
}

}  // namespace

void addArchiveCommands(CLI::App& app, int& status) {
    struct Options {
        bool legacy = false;
        std::vector<std::string> files;
        std::string file;
        std::uint32_t slot = 0;
        std::string output;
        std::string dir;
    };

    auto archive = std::make_shared<Options>();
    auto* archiveCmd = app.add_subcommand("archive", "List what the viewer holds after loading FSH archives in turn");
    archiveCmd->add_flag("--legacy", archive->legacy, "Read as the earlier generation (kelvane-legacy)");
    archiveCmd->add_option("FILE", archive->files, "FSH archives, loaded one after the other")->required();
    archiveCmd->callback([archive, &status] { status = runArchive(archive->legacy, archive->files); });

    auto decode = std::make_shared<Options>();
    auto* decodeCmd = app.add_subcommand("decode", "Decode one image of an FSH archive as the viewer uploads it");
    decodeCmd->add_flag("--legacy", decode->legacy, "Read as the earlier generation (kelvane-legacy)");
    decodeCmd->add_option("FILE", decode->file, "FSH archive")->required();
    decodeCmd->add_option("SLOT", decode->slot, "Slot number (0 is the first image)")->required();
    decodeCmd->add_option("-o,--output", decode->output, "Output file: .png, or .rgba for raw RGBA bytes")
        ->required()
        ->check(CLI::Validator(
            [](std::string& path) -> std::string {
                return endsWith(path, ".png") || endsWith(path, ".rgba") ? "" : "output must end in .png or .rgba";
            },
            "OUT.png|OUT.rgba"));
    decodeCmd->callback(
        [decode, &status] { status = runDecode(decode->legacy, decode->file, decode->slot, decode->output); });

    auto exporter = std::make_shared<Options>();
    auto* exportCmd = app.add_subcommand("export", "Write every decodable image of an FSH archive as DIR/NN-name.png");
    exportCmd->add_flag("--legacy", exporter->legacy, "Read as the earlier generation (kelvane-legacy)");
    exportCmd->add_option("FILE", exporter->file, "FSH archive")->required();
    exportCmd->add_option("DIR", exporter->dir, "Folder for the PNG files (made if missing)")->required();
    exportCmd->callback([exporter, &status] { status = runExport(exporter->legacy, exporter->file, exporter->dir); });
}

}  // namespace kelvane::inspect
