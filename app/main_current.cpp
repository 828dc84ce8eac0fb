// Entry point of kelvane: the viewer for the later generation of files.
#include <cstdio>

#include "app/main_window.h"

int main() {
    auto platform = kelvane::platform::createNativePlatform();
    if (!platform) {
        std::fputs("kelvane: no window system backend\n", stderr);
        return 1;
    }
    return kelvane::runViewer(*platform, kelvane::Generation::Current);
}
