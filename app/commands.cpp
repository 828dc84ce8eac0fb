#include "app/commands.h"

#include <optional>

#include "app/about.h"
#include "app/load_report.h"
#include "app/menus.h"
#include "common/bmp_rows.h"
#include "model/ebo_reader.h"
#include "platform/bmp_header.h"

namespace kelvane {

namespace {

platform::FileDialogRequest dialogRequest(FileKind kind, const std::filesystem::path& lastPath) {
    const char* ext = kind == FileKind::Ebo ? "EBO" : kind == FileKind::Fsh ? "FSH" : "BMP";
    const std::string pattern = std::string("*.") + ext;
    return {std::string("Open ") + ext, std::string(ext) + " File", pattern, pattern, lastPath};
}

// The file a load command reads: `given` (named on the command line or
// dropped), else the one chosen in the open-file dialog, which opens on the
// shared path buffer, so every dialog opens on the path given or chosen last.
// Nothing when the dialog is cancelled.
std::optional<std::filesystem::path> chooseFile(Viewer& viewer, FileKind kind,
                                                const std::optional<std::filesystem::path>& given) {
    if (given) {
        viewer.pathBuffer = *given;
        return given;
    }
    if (!viewer.window) return std::nullopt;
    auto chosen = viewer.window->openFileDialog(dialogRequest(kind, viewer.pathBuffer));
    if (!chosen || chosen->empty()) return std::nullopt;
    viewer.pathBuffer = *chosen;
    return chosen;
}

void uncheck(TextureStore& store, std::uint32_t slot) {
    if (slot < kTextureSlots) store.checked[slot] = 0;
}

std::optional<std::string> reasonOf(Viewer& viewer, FileKind kind, const std::filesystem::path& path,
                                    const std::optional<ReadProblem>& problem) {
    if (!problem) return std::nullopt;
    return failureReason(viewer.generation, kind, path, *problem);
}

void loadModel(Viewer& viewer, const std::optional<std::filesystem::path>& given) {
    const auto path = chooseFile(viewer, FileKind::Ebo, given);
    if (!path) return;
    ViewState& view = viewer.view;
    if (viewer.generation == Generation::Legacy) {
        view.zoom = kLegacyZoom;
    } else {
        // Face the new model unturned and unshifted; the drag anchor stays.
        view.zoom = view.panY = view.panX = view.yaw = view.pitch = 0;
    }
    viewer.follower.follow(*path, FileKind::Ebo);
    std::optional<ReadProblem> problem;
    loadEbo(viewer.generation, viewer.scene, *path, &problem);
    rebuildMenuBar(viewer);
    reportLoad(viewer, FileKind::Ebo, *path, reasonOf(viewer, FileKind::Ebo, *path, problem));
}

void openArchive(Viewer& viewer, const std::optional<std::filesystem::path>& given) {
    const auto path = chooseFile(viewer, FileKind::Fsh, given);
    if (!path) return;
    TextureStore& store = viewer.textures;
    viewer.follower.follow(*path, FileKind::Fsh);
    std::optional<ReadProblem> problem;
    store.loadArchive(*path, &problem);
    if (viewer.generation == Generation::Current) {
        viewer.menuRebuildPending = true;
        checkFirstSlotOnly(store);
    }
    store.decodeSlot();
    rebuildMenuBar(viewer);
    reportLoad(viewer, FileKind::Fsh, *path, reasonOf(viewer, FileKind::Fsh, *path, problem));
}

// Returns false when the picture cannot be loaded: the command then ends at
// once and the menu catches up with the moved check marks on the next one.
bool loadPicture(Viewer& viewer, const std::optional<std::filesystem::path>& given) {
    const auto path = chooseFile(viewer, FileKind::Bmp, given);
    if (!path) return true;
    TextureStore& store = viewer.textures;
    if (viewer.generation == Generation::Current) {
        viewer.menuRebuildPending = true;
        checkFirstSlotOnly(store);
    } else if (store.slotCount > 0) {
        viewer.menuRebuildPending = true;
        uncheck(store, store.currentSlot);
    }
    viewer.follower.follow(*path, FileKind::Bmp);
    std::string reason;
    const auto bitmap = readPicture(viewer, *path, &reason);
    if (!bitmap) {
        reportLoad(viewer, FileKind::Bmp, *path, reason);
        return false;
    }
    // The GL unpack alignment the upload needs is set by the renderer.
    const auto refusal = platform::importRefusal(bitmap->width, bitmap->height);
    if (!refusal) store.importPixels(bitmap->width, bitmap->height, bitmap->bottomUpBgrRows);
    reportLoad(viewer, FileKind::Bmp, *path, refusal);
    return true;
}

void setAllVisible(Scene& scene, std::uint8_t visible) {
    for (int i = 0; i < slotsInUse(scene); ++i) scene.visible[i] = visible;
}

// Stage 1: the fixed commands; the loads read `given` instead of asking.
// Returns false when "Load BMP" failed.
bool runFixedCommand(Viewer& viewer, int id, const std::optional<std::filesystem::path>& given) {
    switch (id) {
        case cmd::LoadEbo:
            loadModel(viewer, given);
            break;
        case cmd::LoadFsh:
            openArchive(viewer, given);
            break;
        case cmd::LoadBmp:
            return loadPicture(viewer, given);
        case cmd::Quit:
            if (viewer.window) viewer.window->destroy();
            break;
        case cmd::About:
            showAbout(viewer);
            break;
        case cmd::SelectAll:
            setAllVisible(viewer.scene, 1);
            rebuildMenuBar(viewer);
            break;
        case cmd::DeselectAll:
            setAllVisible(viewer.scene, 0);
            rebuildMenuBar(viewer);
            break;
        case cmd::Light:
            if (viewer.generation == Generation::Legacy) break;  // no lighting there
            viewer.scene.lightingOn = 1 - viewer.scene.lightingOn;
            rebuildMenuBar(viewer);
            break;
        default:
            break;
    }
    return true;
}

// Stage 2: the object and texture items, then the pending rebuild.
void runItemCommand(Viewer& viewer, int id) {
    Scene& scene = viewer.scene;
    TextureStore& store = viewer.textures;

    const int object = id - cmd::FirstObject;
    if (object >= 0 && object < slotsInUse(scene)) {
        scene.visible[object] = scene.visible[object] == 0 ? 1 : 0;
        viewer.menuRebuildPending = true;
    }

    const int slots = menuSlotCount(store);
    const int slot = id - cmd::FirstTexture;
    const bool archiveImage = slot >= 0 && slot < slots;
    if (archiveImage) {
        viewer.menuRebuildPending = true;
        uncheck(store, store.currentSlot);
        store.currentSlot = static_cast<std::uint32_t>(slot);
        store.checked[slot] = 1;
    }

    const bool blank = viewer.generation == Generation::Current && slots > 0 && slot == slots;
    if (blank) {
        // Nothing to decode: the blank slot is 0 x 0, so the model shows untextured.
        uncheck(store, store.currentSlot);
        store.currentSlot = static_cast<std::uint32_t>(slot);
        store.checked[slot] = 1;
    }
    if (blank || viewer.menuRebuildPending) {
        rebuildMenuBar(viewer);
        viewer.menuRebuildPending = false;
    }

    // Choosing the image already shown decodes it again.
    if (archiveImage) store.decodeSlot();
}

std::intptr_t runCommand(Viewer& viewer, int id, const std::optional<std::filesystem::path>& given) {
    if (!runFixedCommand(viewer, id, given)) return 0;
    runItemCommand(viewer, id);
    return 1;
}

}  // namespace

void checkFirstSlotOnly(TextureStore& store) {
    const int count = menuSlotCount(store);
    for (int i = 1; i <= count && i < kTextureSlots; ++i) store.checked[i] = 0;
    store.checked[0] = 1;
}

std::optional<platform::Bitmap> readPicture(const Viewer& viewer, const std::filesystem::path& path,
                                            std::string* reason) {
    auto bitmap = viewer.platform.loadBitmap(path, reason);
    const bool rowsComplete =
        bitmap && std::uint64_t{bmpRowStride24(bitmap->width)} * bitmap->height <= bitmap->bottomUpBgrRows.size();
    if (rowsComplete) return bitmap;
    if (reason->empty()) *reason = "not a readable BMP picture";
    return std::nullopt;
}

std::intptr_t handleCommand(Viewer& viewer, std::uintptr_t wParam) {
    return runCommand(viewer, static_cast<int>(wParam & 0xFFFF), std::nullopt);
}

bool openFile(Viewer& viewer, const std::filesystem::path& path) {
    const auto kind = fileKindOf(path);
    if (!kind) return false;
    const int id = *kind == FileKind::Ebo ? cmd::LoadEbo : *kind == FileKind::Fsh ? cmd::LoadFsh : cmd::LoadBmp;
    runCommand(viewer, id, path);
    return true;
}

}  // namespace kelvane
