// Entry point of kelvane-legacy: the viewer for the earlier generation of files.
#include "app/command_line.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    return kelvane::viewerMain(*kelvane::platform::createNativePlatform(), kelvane::Generation::Legacy, argc, argv);
}
