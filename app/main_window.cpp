#include "app/main_window.h"

#include <cstdio>

namespace kelvane {

// Placeholder until the window and frame loop land.
std::intptr_t mainWindowProc(Viewer&, platform::Window&, std::uint32_t, std::uintptr_t, std::intptr_t) { return 1; }

int runViewer(platform::Platform&, Generation) {
    std::fputs("kelvane: the viewer window is not built yet\n", stderr);
    return 1;
}

}  // namespace kelvane
