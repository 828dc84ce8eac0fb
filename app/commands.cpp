#include "app/commands.h"

#include "app/menus.h"

namespace kelvane {

// Placeholder: only Quit.
std::intptr_t handleCommand(Viewer& viewer, std::uintptr_t wParam) {
    if ((wParam & 0xFFFF) == cmd::Quit && viewer.window) viewer.window->destroy();
    return 1;
}

}  // namespace kelvane
