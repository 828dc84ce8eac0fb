#include "app/file_reload.h"

#include <optional>
#include <string>

#include "app/commands.h"
#include "app/load_report.h"
#include "app/menus.h"
#include "app/picture_file.h"
#include "model/ebo_reader.h"

namespace kelvane {

namespace {

void keepObjectStates(const Scene& before, Scene& after) {
    if (after.objectCount != before.objectCount) return;
    after.visible = before.visible;
    // Only where the new model can be lit at all.
    if (after.normalsPresent != 0 && before.normalsPresent != 0) after.lightingOn = before.lightingOn;
}

// Shows slot `slot` of a freshly loaded archive as choosing it from the menu
// would, or "Blank" (slot == slotCount, current generation); slot 0 stays
// as the load left it.
void keepChosenSlot(const TextureStore& before, TextureStore& after) {
    const std::uint32_t slot = before.currentSlot;
    const bool wasBlank = traits(before.generation).blankSlot && before.slotCount > 0 && slot == before.slotCount;
    const std::uint32_t kept = wasBlank ? after.slotCount : slot;
    const bool exists = wasBlank ? after.slotCount > 0 : slot < static_cast<std::uint32_t>(menuSlotCount(after));
    if (!exists || kept == 0 || kept >= kTextureSlots) return;
    after.checked[after.currentSlot] = 0;
    after.currentSlot = kept;
    after.checked[kept] = 1;
}

Outcome reloadModel(Viewer& viewer, const std::filesystem::path& path) {
    Scene fresh;
    std::optional<ReadProblem> problem;
    loadEbo(viewer.generation, fresh, path, &problem);
    if (problem) return *problem;
    keepObjectStates(viewer.scene, fresh);
    // Another object count shows the objects as a load does.
    if (viewer.modes.byName && fresh.objectCount != viewer.scene.objectCount) setAllVisible(fresh, 1);
    viewer.scene = std::move(fresh);
    return Done{};
}

Outcome reloadArchive(Viewer& viewer, const std::filesystem::path& path) {
    TextureStore fresh(viewer.generation);
    std::optional<ReadProblem> problem;
    fresh.loadArchive(path, &problem);
    if (problem) return *problem;
    // As "Load FSH" marks them: slot 0 alone (and, in the current
    // generation, not "Blank"); the earlier generation keeps the reader's.
    if (viewer.generation == Generation::Current) checkFirstSlotOnly(fresh);
    keepChosenSlot(viewer.textures, fresh);
    fresh.decodeSlot();
    viewer.textures = std::move(fresh);
    return Done{};
}

Outcome reloadPicture(Viewer& viewer, const std::filesystem::path& path) {
    const auto picture = readPicture(viewer, path);
    if (!picture) return picture.problem();
    if (Outcome size = importableSize(*picture); !size) return size;
    // The picture was read whole: only now does it replace the one shown.
    importPicture(viewer.textures, *picture);
    return Done{};
}

}  // namespace

bool reloadFile(Viewer& viewer, FileKind kind, const std::filesystem::path& path) {
    const Outcome outcome = kind == FileKind::Ebo   ? reloadModel(viewer, path)
                           : kind == FileKind::Fsh ? reloadArchive(viewer, path)
                                                   : reloadPicture(viewer, path);
    const bool read = static_cast<bool>(outcome);
    if (read) rebuildMenuBar(viewer);
    reportLoad(viewer, kind, path, outcome, read);
    return read;
}

}  // namespace kelvane
