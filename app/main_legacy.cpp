// Entry point of kelvane-legacy: the viewer for the earlier generation of files.
#include "app/main_window.h"

int main() {
    auto platform = kelvane::platform::createNativePlatform();
    return kelvane::runViewer(*platform, kelvane::Generation::Legacy);
}
