#include "app/menus.h"

namespace kelvane {

// Placeholder: the first menu bar only.
platform::MenuBar buildMenuBar(const Viewer&) {
    platform::MenuBar bar;
    bar.menus.push_back({"File",
                         {{cmd::LoadEbo, "Load EBO"}, {cmd::LoadFsh, "Load FSH"}, {cmd::LoadBmp, "Load BMP"}, {cmd::Quit, "Quit"}}});
    bar.menus.push_back({"Help", {{cmd::About, "About"}}});
    return bar;
}

void rebuildMenuBar(Viewer& viewer) {
    if (viewer.window) viewer.window->setMenuBar(buildMenuBar(viewer));
}

}  // namespace kelvane
