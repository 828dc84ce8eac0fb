#include "app/export_commands.h"

#include "app/load_report.h"
#include "app/viewer_frame.h"
#include "common/utf8_path.h"
#include "export/gltf_export.h"
#include "export/image_export.h"
#include "export/image_writer.h"
#include "export/replace_file.h"
#include "render/frame_pixels.h"

namespace kelvane {

namespace {

// A file named as the model (or the texture file, or `fallback`) with
// another extension, in its folder: what the save dialogs propose.
std::filesystem::path proposedPath(const Viewer& viewer, const char* extension, const char* fallback) {
    const auto& shown = viewer.modelFile ? viewer.modelFile : viewer.textureFile;
    if (!shown) return std::filesystem::path(fallback).replace_extension(extension);
    return std::filesystem::path(*shown).replace_extension(extension);
}

void writePngFile(Viewer& viewer, const std::filesystem::path& path, std::uint32_t width, std::uint32_t height,
                  const std::uint8_t* rgba) {
    const std::vector<std::uint8_t> png = encodePng(width, height, rgba);
    const Outcome written = png.empty() ? Outcome(failure("the picture is empty")) : replaceFile(path, png);
    if (!written) reportWriteFailure(viewer, path, written.problem().what);
}

}  // namespace

void savePicture(Viewer& viewer) {
    if (!viewer.window) return;
    const auto path = viewer.window->saveFileDialog(
        {"Save Picture", "PNG Picture", "*.png", "*.png", proposedPath(viewer, ".png", "picture")});
    if (!path) return;
    // The dialog has closed over the window: the frame is drawn afresh and
    // read before it is shown.
    drawViewerFrame(viewer);
    const std::vector<std::uint8_t> rgba = readFramePixels(viewer.clientWidth, viewer.clientHeight);
    writePngFile(viewer, *path, static_cast<std::uint32_t>(viewer.clientWidth),
                 static_cast<std::uint32_t>(viewer.clientHeight), rgba.data());
}

void exportImages(Viewer& viewer) {
    if (!viewer.window) return;
    const TextureStore& store = viewer.textures;
    const bool archive = store.slotCount > 0;
    const ShownImage picture = archive ? ShownImage{} : shownImage(store);
    if (!viewer.textureFile || (!archive && !picture.pixels)) {
        reportWriteFailure(viewer, "Export Images", "no archive or picture is loaded");
        return;
    }
    const auto folder = viewer.window->chooseFolderDialog(
        {"Export Images", "", "", "", std::filesystem::path(*viewer.textureFile).parent_path()});
    if (!folder) return;
    if (!archive) {
        std::error_code ignored;  // a folder that cannot be made fails the write, which says so
        std::filesystem::create_directories(*folder, ignored);
        const auto path = *folder / std::filesystem::path(*viewer.textureFile).filename().replace_extension(".png");
        writePngFile(viewer, path, picture.width, picture.height, picture.pixels);
        return;
    }
    const ImagesExported exported = exportArchiveImages(store, *folder);
    if (!exported.notWritten.empty())
        reportWriteFailure(viewer, exported.notWritten.front(), "cannot write the file");
    else if (!exported.notDecoded.empty())
        reportWriteFailure(viewer, *viewer.textureFile, "skipped " + exported.notDecoded.front());
}

void exportGltf(Viewer& viewer) {
    if (!viewer.window) return;
    if (slotsInUse(viewer.scene) == 0) {
        reportWriteFailure(viewer, "Export glTF", "no model is loaded");
        return;
    }
    const auto path = viewer.window->saveFileDialog(
        {"Export glTF", "glTF Binary", "*.glb", "*.glb", proposedPath(viewer, ".glb", "model")});
    if (!path) return;
    const Outcome written =
        writeGltf(viewer.generation, viewer.scene, viewer.textures, {.byName = viewer.modes.byName}, *path);
    if (!written) reportWriteFailure(viewer, *path, written.problem().what);
}

}  // namespace kelvane
