#include "app/window_title.h"

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
    // The failure comes first, where a title cut short still shows it.
    if (!viewer.loadFailure.empty()) title = viewer.loadFailure + " - " + title;
    return title + windowTitle(viewer.generation);
}

void updateWindowTitle(Viewer& viewer) {
    if (viewer.window) viewer.window->setTitle(windowTitleText(viewer));
}

}  // namespace kelvane
