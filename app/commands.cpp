#include "app/commands.h"

#include <optional>

#include "app/about.h"
#include "app/export_commands.h"
#include "app/load_report.h"
#include "app/menus.h"
#include "app/picture_file.h"
#include "app/window_title.h"
#include "model/ebo_reader.h"

namespace kelvane {

namespace {

platform::FileDialogRequest dialogRequest(FileKind kind, const std::filesystem::path& lastPath) {
    const char* ext = kind == FileKind::Ebo ? "EBO" : kind == FileKind::Fsh ? "FSH" : "BMP";
    const std::string pattern = std::string("*.") + ext;
    return {std::string("Open ") + ext, std::string(ext) + " File", pattern, pattern, lastPath};
}

// A path made absolute now, so that it names the same file whatever later
// changes the working folder (a Windows dialog may).
std::filesystem::path absolutePath(const std::filesystem::path& path) {
    std::error_code error;
    auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute;
}

// The file a load command reads: `given` (named on the command line or
// dropped), else the one chosen in the open-file dialog, which opens on the
// shared path buffer, so every dialog opens on the path given or chosen last.
// Nothing when the dialog is cancelled.
std::optional<std::filesystem::path> chooseFile(Viewer& viewer, FileKind kind,
                                                const std::optional<std::filesystem::path>& given) {
    std::optional<std::filesystem::path> chosen = given;
    if (!chosen && viewer.window) chosen = viewer.window->openFileDialog(dialogRequest(kind, viewer.pathBuffer));
    if (!chosen || chosen->empty()) return std::nullopt;
    viewer.pathBuffer = absolutePath(*chosen);
    return viewer.pathBuffer;
}

void uncheck(TextureStore& store, std::uint32_t slot) {
    if (slot < kTextureSlots) store.checked[slot] = 0;
}

// Ends a load: a file the reader took (in part, perhaps) is the one shown and
// followed from the version read; a refused one leaves both as they were and
// only says why.
void finishLoad(Viewer& viewer, FileKind kind, const std::filesystem::path& path, const FileSignature& asRead,
                const Outcome& outcome, bool taken) {
    if (taken) viewer.follower.follow(path, kind, asRead);
    reportLoad(viewer, kind, path, outcome, taken);
}

void loadModel(Viewer& viewer, const std::optional<std::filesystem::path>& given) {
    const auto path = chooseFile(viewer, FileKind::Ebo, given);
    if (!path) return;
    FramePose& pose = viewer.view.pose;
    pose.zoom = traits(viewer.generation).initialZoom;
    // The current generation faces the new model unturned and unshifted; the
    // drag anchor stays.
    if (viewer.generation == Generation::Current) pose.panY = pose.panX = pose.yaw = pose.pitch = 0;
    const FileSignature asRead = signatureOf(*path);
    std::optional<ReadProblem> problem;
    loadEbo(viewer.generation, viewer.scene, *path, &problem);
    // By name, the point is the whole face at once.
    if (viewer.modes.byName) setAllVisible(viewer.scene, 1);
    rebuildMenuBar(viewer);
    finishLoad(viewer, FileKind::Ebo, *path, asRead, outcomeOf(problem), !problem || !problem->refused);
}

void openArchive(Viewer& viewer, const std::optional<std::filesystem::path>& given) {
    const auto path = chooseFile(viewer, FileKind::Fsh, given);
    if (!path) return;
    TextureStore& store = viewer.textures;
    const FileSignature asRead = signatureOf(*path);
    std::optional<ReadProblem> problem;
    store.loadArchive(*path, &problem);
    if (viewer.generation == Generation::Current) {
        viewer.menuRebuildPending = true;
        checkFirstSlotOnly(store);
    }
    store.decodeSlot();
    rebuildMenuBar(viewer);
    finishLoad(viewer, FileKind::Fsh, *path, asRead, outcomeOf(problem), !problem || !problem->refused);
}

// Returns false when the picture cannot be loaded: the command then ends at
// once and the menu catches up with the moved check marks on the next one.
bool loadPicture(Viewer& viewer, const std::optional<std::filesystem::path>& given) {
    const auto path = chooseFile(viewer, FileKind::Picture, given);
    if (!path) return true;
    TextureStore& store = viewer.textures;
    if (viewer.generation == Generation::Current) {
        viewer.menuRebuildPending = true;
        checkFirstSlotOnly(store);
    } else if (store.slotCount > 0) {
        viewer.menuRebuildPending = true;
        uncheck(store, store.currentSlot);
    }
    const FileSignature asRead = signatureOf(*path);
    const auto picture = readPicture(viewer, *path);
    if (!picture) {
        finishLoad(viewer, FileKind::Picture, *path, asRead, picture.problem(), false);
        return false;
    }
    // The GL unpack alignment the upload needs is set by the renderer.
    const Outcome imported = importableSize(*picture);
    if (imported) importPicture(store, *picture);
    finishLoad(viewer, FileKind::Picture, *path, asRead, imported, static_cast<bool>(imported));
    return true;
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
        case cmd::SavePicture:
            savePicture(viewer);
            break;
        case cmd::ExportImages:
            exportImages(viewer);
            break;
        case cmd::ExportGltf:
            exportGltf(viewer);
            break;
        case cmd::SelectAll:
            setAllVisible(viewer.scene, 1);
            rebuildMenuBar(viewer);
            break;
        case cmd::DeselectAll:
            setAllVisible(viewer.scene, 0);
            rebuildMenuBar(viewer);
            break;
        case cmd::ImagesByName:
        case cmd::TextureView:
        case cmd::UvLayout:
        case cmd::Wireframe:
            toggleViewMode(viewer, id);
            break;
        case cmd::Light:
            if (!traits(viewer.generation).normals) break;  // nothing to light
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

    const bool blank = traits(viewer.generation).blankSlot && slots > 0 && slot == slots;
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

void setAllVisible(Scene& scene, std::uint8_t visible) {
    for (int i = 0; i < slotsInUse(scene); ++i) scene.visible[i] = visible;
}

bool toggleViewMode(Viewer& viewer, int id) {
    ViewModes& m = viewer.modes;
    bool* mode = id == cmd::ImagesByName ? &m.byName
                 : id == cmd::TextureView ? &m.textureView
                 : id == cmd::UvLayout    ? &m.uvLayout
                 : id == cmd::Wireframe   ? &m.wireframe
                                          : nullptr;
    if (!mode) return false;
    *mode = !*mode;
    rebuildMenuBar(viewer);
    updateWindowTitle(viewer);
    return true;
}

int viewCommandOfKey(std::uintptr_t virtualKey) {
    switch (virtualKey) {
        case viewkey::ImagesByName: return cmd::ImagesByName;
        case viewkey::TextureView: return cmd::TextureView;
        case viewkey::UvLayout: return cmd::UvLayout;
        case viewkey::Wireframe: return cmd::Wireframe;
        default: return 0;
    }
}

void checkFirstSlotOnly(TextureStore& store) {
    const int count = menuSlotCount(store);
    for (int i = 1; i <= count && i < kTextureSlots; ++i) store.checked[i] = 0;
    store.checked[0] = 1;
}

std::intptr_t handleCommand(Viewer& viewer, std::uintptr_t wParam) {
    return runCommand(viewer, static_cast<int>(wParam & 0xFFFF), std::nullopt);
}

void openFiles(Viewer& viewer, const std::vector<std::filesystem::path>& paths) {
    std::optional<std::filesystem::path> lastModel;
    bool texture = false;
    for (const auto& path : paths) {
        if (!openFile(viewer, path)) continue;
        if (fileKindOf(path) == FileKind::Ebo) lastModel = path;
        else texture = true;
    }
    if (!lastModel || texture) return;
    if (const auto archive = companionArchive(*lastModel)) openFile(viewer, *archive);
}

bool openFile(Viewer& viewer, const std::filesystem::path& path) {
    const auto kind = fileKindOf(path);
    if (!kind) return false;
    const int id = *kind == FileKind::Ebo ? cmd::LoadEbo : *kind == FileKind::Fsh ? cmd::LoadFsh : cmd::LoadBmp;
    runCommand(viewer, id, path);
    return true;
}

}  // namespace kelvane
