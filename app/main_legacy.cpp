// Entry point of kelvane-legacy: the viewer for the earlier generation of files.
#include <cstdio>

#include "app/main_window.h"

int main() {
    auto platform = kelvane::platform::createNativePlatform();
    if (!platform) {
        std::fputs("kelvane-legacy: no window system backend\n", stderr);
        return 1;
    }
    return kelvane::runViewer(*platform, kelvane::Generation::Legacy);
}
