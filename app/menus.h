#pragma once

#include "app/viewer.h"
#include "platform/platform.h"

namespace kelvane {

// Fixed command ids.
namespace cmd {
constexpr int LoadEbo = 1001;
constexpr int LoadFsh = 1002;
constexpr int LoadBmp = 1003;
constexpr int Quit = 1004;
constexpr int About = 1005;
constexpr int FirstObject = 1010;   // + object index
constexpr int FirstTexture = 1030;  // + slot index; + slotCount is "Blank"
constexpr int SelectAll = 1050;
constexpr int DeselectAll = 1051;
constexpr int Light = 1052;
}  // namespace cmd

// The whole menu bar as the stores say it should look.
platform::MenuBar buildMenuBar(const Viewer& viewer);

// Builds the bar and hands it to the window.
void rebuildMenuBar(Viewer& viewer);

}  // namespace kelvane
