#include "app/about.h"

namespace kelvane {

// Placeholder until the About box lands.
std::string aboutText(Generation, const std::string&, const std::string&) { return "Kelvane"; }
void showAbout(Viewer& viewer) {
    if (viewer.window) viewer.window->showMessageBox("Kelvane", aboutText(viewer.generation, "", ""));
}

}  // namespace kelvane
