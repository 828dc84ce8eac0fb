#include "platform/win32/text.h"
#include "platform/win32/win32_window.h"

namespace kelvane::platform::win32 {

namespace {
std::wstring menuLabel(const std::string& utf8) { return toUtf16(escapeMenuMnemonics(utf8)); }

HMENU createDropDown(const Menu& menu) {
    HMENU dropDown = CreatePopupMenu();
    if (!dropDown) return nullptr;
    for (const MenuItem& item : menu.items) {
        const auto id = static_cast<UINT_PTR>(static_cast<unsigned>(item.id) & 0xFFFF);
        // Text after a tab is shown right-aligned, as the key that runs the item.
        std::wstring label = menuLabel(item.label);
        if (item.ctrlKey != 0) label += L"\tCtrl+" + std::wstring(1, static_cast<wchar_t>(item.ctrlKey));
        if (!AppendMenuW(dropDown, MF_STRING, id, label.c_str())) {
            DestroyMenu(dropDown);
            return nullptr;
        }
        if (item.checked) CheckMenuItem(dropDown, static_cast<UINT>(id), MF_BYCOMMAND | MF_CHECKED);
    }
    return dropDown;
}
}  // namespace

HMENU createNativeMenuBar(const MenuBar& bar) {
    HMENU menuBar = CreateMenu();
    if (!menuBar) return nullptr;
    for (const Menu& menu : bar.menus) {
        HMENU dropDown = createDropDown(menu);
        if (!dropDown || !AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(dropDown),
                                      menuLabel(menu.title).c_str())) {
            if (dropDown) DestroyMenu(dropDown);
            DestroyMenu(menuBar);
            return nullptr;
        }
    }
    return menuBar;
}

}  // namespace kelvane::platform::win32
