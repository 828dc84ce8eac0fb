// Entry point of kelvane: the viewer for the later generation of files.
#include "app/main_window.h"

int main() {
    auto platform = kelvane::platform::createNativePlatform();
    return kelvane::runViewer(*platform, kelvane::Generation::Current);
}
