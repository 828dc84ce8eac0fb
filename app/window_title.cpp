#include "app/window_title.h"

#include "common/utf8_path.h"

namespace kelvane {

std::string displayName(const std::filesystem::path& path) {
    return utf8Text(path.filename());
}

std::string windowTitleText(const Viewer& viewer) {
    const std::string program = windowTitle(viewer.generation);
    if (!viewer.loadFailure.empty()) return viewer.loadFailure + " - " + program;
    std::string files;
    for (const auto* file : {&viewer.modelFile, &viewer.textureFile}) {
        if (!*file) continue;
        if (!files.empty()) files += ", ";
        files += displayName(**file);
    }
    return files.empty() ? program : files + " - " + program;
}

void updateWindowTitle(Viewer& viewer) {
    if (viewer.window) viewer.window->setTitle(windowTitleText(viewer));
}

}  // namespace kelvane
