#include "app/commands.h"

#include <optional>

#include "app/about.h"
#include "app/menus.h"
#include "common/bmp_rows.h"
#include "model/ebo_reader.h"

namespace kelvane {

namespace {

// Pictures larger than this in either direction are not imported.
constexpr std::uint32_t kMaxBitmapSide = 1024;

enum class FileKind { Ebo, Fsh, Bmp };

platform::FileDialogRequest dialogRequest(FileKind kind, const std::filesystem::path& lastPath) {
    const char* ext = kind == FileKind::Ebo ? "EBO" : kind == FileKind::Fsh ? "FSH" : "BMP";
    const std::string pattern = std::string("*.") + ext;
    return {std::string("Open ") + ext, std::string(ext) + " File", pattern, pattern, lastPath};
}

// Runs the open-file dialog on the shared path buffer, so every dialog opens
// on the path chosen last in any of them. Nothing when cancelled.
std::optional<std::filesystem::path> chooseFile(Viewer& viewer, FileKind kind) {
    if (!viewer.window) return std::nullopt;
    auto chosen = viewer.window->openFileDialog(dialogRequest(kind, viewer.pathBuffer));
    if (!chosen || chosen->empty()) return std::nullopt;
    viewer.pathBuffer = *chosen;
    return chosen;
}

void uncheck(TextureStore& store, std::uint32_t slot) {
    if (slot < kTextureSlots) store.checked[slot] = 0;
}

// Marks slot 0 alone among the archive's images and (current generation)
// the blank slot: what an archive load or a picture import shows.
void checkFirstSlotOnly(TextureStore& store) {
    const int count = menuSlotCount(store);
    for (int i = 1; i <= count && i < kTextureSlots; ++i) store.checked[i] = 0;
    store.checked[0] = 1;
}

void loadModel(Viewer& viewer) {
    const auto path = chooseFile(viewer, FileKind::Ebo);
    if (!path) return;
    ViewState& view = viewer.view;
    if (viewer.generation == Generation::Legacy) {
        view.zoom = kLegacyZoom;
    } else {
        // Face the new model unturned and unshifted; the drag anchor stays.
        view.zoom = view.panY = view.panX = view.yaw = view.pitch = 0;
    }
    loadEbo(viewer.generation, viewer.scene, *path);
    rebuildMenuBar(viewer);
}

void openArchive(Viewer& viewer) {
    const auto path = chooseFile(viewer, FileKind::Fsh);
    if (!path) return;
    TextureStore& store = viewer.textures;
    store.loadArchive(*path);
    if (viewer.generation == Generation::Current) {
        viewer.menuRebuildPending = true;
        checkFirstSlotOnly(store);
    }
    store.decodeSlot();
    rebuildMenuBar(viewer);
}

// True when the rows hold every byte a 24-bit bottom-up picture of this size
// needs (rows padded to 4 bytes), so the import cannot read past them.
bool rowsComplete(const platform::Bitmap& bitmap) {
    const std::uint64_t stride = bmpRowStride24(bitmap.width);
    return stride * bitmap.height <= bitmap.bottomUpBgrRows.size();
}

// Returns false when the picture cannot be loaded: the command then ends at
// once and the menu catches up with the moved check marks on the next one.
bool loadPicture(Viewer& viewer) {
    const auto path = chooseFile(viewer, FileKind::Bmp);
    if (!path) return true;
    TextureStore& store = viewer.textures;
    if (viewer.generation == Generation::Current) {
        viewer.menuRebuildPending = true;
        checkFirstSlotOnly(store);
    } else if (store.slotCount > 0) {
        viewer.menuRebuildPending = true;
        uncheck(store, store.currentSlot);
    }
    const auto bitmap = viewer.platform.loadBitmap(*path, nullptr);
    if (!bitmap || !rowsComplete(*bitmap)) return false;
    // The GL unpack alignment the upload needs is set by the renderer.
    if (bitmap->width <= kMaxBitmapSide && bitmap->height <= kMaxBitmapSide)
        store.importPixels(bitmap->width, bitmap->height, bitmap->bottomUpBgrRows);
    return true;
}

void setAllVisible(Scene& scene, std::uint8_t visible) {
    for (int i = 0; i < slotsInUse(scene); ++i) scene.visible[i] = visible;
}

// Stage 1: the fixed commands. Returns false when "Load BMP" failed.
bool runFixedCommand(Viewer& viewer, int id) {
    switch (id) {
        case cmd::LoadEbo:
            loadModel(viewer);
            break;
        case cmd::LoadFsh:
            openArchive(viewer);
            break;
        case cmd::LoadBmp:
            return loadPicture(viewer);
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

}  // namespace

std::intptr_t handleCommand(Viewer& viewer, std::uintptr_t wParam) {
    const int id = static_cast<int>(wParam & 0xFFFF);
    if (!runFixedCommand(viewer, id)) return 0;
    runItemCommand(viewer, id);
    return 1;
}

}  // namespace kelvane
