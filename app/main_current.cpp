// Entry point of kelvane: the viewer for the later generation of files.
#include "app/command_line.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    return kelvane::viewerMain(*kelvane::platform::createNativePlatform(), kelvane::Generation::Current, argc, argv);
}
