#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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
// File's items beside the loads.
constexpr int SavePicture = 1070;
constexpr int ExportImages = 1071;
constexpr int ExportGltf = 1072;
// The View menu.
constexpr int ImagesByName = 1060;
constexpr int TextureView = 1061;
constexpr int UvLayout = 1062;
constexpr int Wireframe = 1063;
}  // namespace cmd

// The View menu's keys (virtual-key codes, as letters are).
namespace viewkey {
constexpr std::uintptr_t ImagesByName = 'N';
constexpr std::uintptr_t TextureView = 'T';
constexpr std::uintptr_t UvLayout = 'U';
constexpr std::uintptr_t Wireframe = 'W';
}  // namespace viewkey

// A menu label holds at most this many characters.
constexpr std::size_t kMaxLabelChars = 19;

// The whole menu bar as the stores say it should look.
platform::MenuBar buildMenuBar(const Viewer& viewer);

// Builds the bar and hands it to the window.
void rebuildMenuBar(Viewer& viewer);

// How many archive images the menu lists and the commands reach. The
// current generation needs one more texture id (and slot) for "Blank", so
// it lists at most 19 images; the legacy one, without "Blank", 20.
int menuSlotCount(const TextureStore& store);

// One item label, UTF-8, at most kMaxLabelChars characters.
// `name` is Latin-1; null gives the "Empty" label of a nameless object.
std::string objectLabel(Generation generation, int index, const std::optional<std::string>& name);
std::string textureLabel(Generation generation, int index, std::string_view name);

}  // namespace kelvane
