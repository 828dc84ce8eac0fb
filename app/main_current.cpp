// Entry point of kelvane: the viewer for the later generation of files.
#include <cstdio>

#include "app/command_line.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    auto platform = kelvane::platform::createNativePlatform();
    if (!platform) {
        std::fputs("kelvane: no window system backend\n", stderr);
        return 1;
    }
    return kelvane::viewerMain(*platform, kelvane::Generation::Current, argc, argv);
}
