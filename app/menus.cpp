#include "app/menus.h"

#include <algorithm>
#include <cstdio>

#include "common/latin1.h"

namespace kelvane {

namespace {

// Marks a name that was cut to fit its label.
constexpr char kCutMark = '~';

// A name as the menu shows it: up to its first NUL (names are C strings in
// the files), control characters shown as '?' so a stray byte cannot break
// the line, and cut to `room` characters with the cut marked. Works on
// Latin-1 bytes, where one byte is one character, so a cut never splits a
// character; the caller widens the result to UTF-8.
std::string fitName(std::string_view latin1, std::size_t room) {
    latin1 = latin1.substr(0, latin1.find('\0'));
    std::string name(latin1);
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0)) c = '?';
    }
    if (name.size() > room) {
        name.resize(room > 0 ? room - 1 : 0);
        if (room > 0) name += kCutMark;
    }
    return name;
}

std::string twoDigits(int index) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%02d", index);
    return digits;
}

// prefix + name + suffix, with the name shortened so the whole label keeps
// to kMaxLabelChars.
std::string composeLabel(const std::string& prefix, std::string_view name, const std::string& suffix) {
    const std::size_t fixed = prefix.size() + suffix.size();
    const std::size_t room = fixed < kMaxLabelChars ? kMaxLabelChars - fixed : 0;
    return latin1ToUtf8(prefix + fitName(name, room) + suffix);
}

// The loads, then what goes out, then Quit where the program can end itself.
platform::Menu fileMenu(bool withQuit) {
    platform::Menu menu{"File",
                        {{cmd::LoadEbo, "Load EBO"},
                         {cmd::LoadFsh, "Load FSH"},
                         {cmd::LoadBmp, "Load BMP"},
                         {cmd::SavePicture, "Save Picture\u2026", false, 'S'},
                         {cmd::ExportImages, "Export Images\u2026"},
                         {cmd::ExportGltf, "Export glTF\u2026"}}};
    if (withQuit) menu.items.push_back({cmd::Quit, "Quit"});
    return menu;
}

platform::Menu objectMenu(const Viewer& viewer) {
    const Scene& scene = viewer.scene;
    const int count = slotsInUse(scene);
    platform::Menu menu{"<EBO>", {}};
    for (int i = 0; i < count; ++i)
        menu.items.push_back({cmd::FirstObject + i, objectLabel(viewer.generation, i, scene.names[i]),
                              scene.visible[i] != 0});
    if (count > 1) {
        menu.items.push_back({cmd::SelectAll, "Select All"});
        menu.items.push_back({cmd::DeselectAll, "Deselect All"});
    }
    // The earlier generation has no normals, hence no lighting.
    if (traits(viewer.generation).normals && scene.normalsPresent != 0)
        menu.items.push_back({cmd::Light, "Light", scene.lightingOn != 0});
    return menu;
}

platform::Menu textureMenu(const Viewer& viewer) {
    const TextureStore& store = viewer.textures;
    const int count = menuSlotCount(store);
    platform::Menu menu{"<FSH>", {}};
    for (int i = 0; i < count; ++i)
        menu.items.push_back(
            {cmd::FirstTexture + i, textureLabel(viewer.generation, i, store.name[i]), store.checked[i] != 0});
    if (traits(viewer.generation).blankSlot)
        menu.items.push_back({cmd::FirstTexture + count, "Blank", store.checked[count] != 0});
    return menu;
}

// Each item names its key.
platform::Menu viewMenu(const Viewer& viewer) {
    const ViewModes& m = viewer.modes;
    return {"View",
            {{cmd::ImagesByName, "Images by Object Name (N)", m.byName},
             {cmd::TextureView, "Texture View (T)", m.textureView},
             {cmd::UvLayout, "UV Layout (U)", m.uvLayout},
             {cmd::Wireframe, "Wireframe (W)", m.wireframe}}};
}

}  // namespace

int menuSlotCount(const TextureStore& store) {
    return static_cast<int>(std::min(store.slotCount, archiveCapacity(store.generation)));
}

std::string objectLabel(Generation generation, int index, const std::optional<std::string>& name) {
    if (!traits(generation).objectNames) return "Object:" + twoDigits(index);
    if (!name) return twoDigits(index) + " Empty";
    return composeLabel(twoDigits(index) + " <", *name, ">");
}

std::string textureLabel(Generation generation, int index, std::string_view name) {
    if (generation == Generation::Legacy) return composeLabel(twoDigits(index) + ":", name, "");
    return composeLabel(twoDigits(index) + " <", name, ">");
}

platform::MenuBar buildMenuBar(const Viewer& viewer) {
    platform::MenuBar bar;
    bar.menus.push_back(fileMenu(viewer.platform.canQuit()));
    if (slotsInUse(viewer.scene) > 0) bar.menus.push_back(objectMenu(viewer));
    if (menuSlotCount(viewer.textures) > 0) bar.menus.push_back(textureMenu(viewer));
    bar.menus.push_back(viewMenu(viewer));
    bar.menus.push_back({"Help", {{cmd::About, "About"}}});
    return bar;
}

void rebuildMenuBar(Viewer& viewer) {
    if (viewer.window) viewer.window->setMenuBar(buildMenuBar(viewer));
}

}  // namespace kelvane
