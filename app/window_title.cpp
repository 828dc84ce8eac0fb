#include "app/window_title.h"

#include "app/viewer_frame.h"
#include "common/utf8_path.h"

namespace kelvane {

std::string displayName(const std::filesystem::path& path) {
    return utf8Text(path.filename());
}

std::string windowTitleText(const Viewer& viewer) {
    std::string title;
    for (const auto* file : {&viewer.modelFile, &viewer.textureFile}) {
        if (!*file) continue;
        if (!title.empty()) title += ", ";
        title += displayName(**file);
    }
    if (!title.empty()) title += " - ";
    // What the View menu's choices show, after the files.
    if (viewer.modes.byName)
        title += std::to_string(objectsWithOwnImage(viewer.scene, viewer.textures)) + " of " +
                 std::to_string(slotsInUse(viewer.scene)) + " objects by name - ";
    if (viewer.modes.textureView) title += textureViewCaption(viewer) + " - ";
    // The failure comes first, where a title cut short still shows it.
    if (!viewer.loadFailure.empty()) title = viewer.loadFailure + " - " + title;
    return title + windowTitle(viewer.generation);
}

void updateWindowTitle(Viewer& viewer) {
    viewer.shownTitle = windowTitleText(viewer);
    if (viewer.window) viewer.window->setTitle(viewer.shownTitle);
}

void refreshWindowTitle(Viewer& viewer) {
    if (windowTitleText(viewer) != viewer.shownTitle) updateWindowTitle(viewer);
}

}  // namespace kelvane
