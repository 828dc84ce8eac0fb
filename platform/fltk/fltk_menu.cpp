#include "platform/fltk/fltk_menu.h"

#include <cctype>

#include <cstdint>

namespace kelvane::platform::fltk {

std::string literalLabel(const std::string& label) {
    std::string out;
    out.reserve(label.size());
    for (char c : label) {
        if (c == '&' || c == '@') out += c;
        out += c;
    }
    return out;
}

// The array is built item by item rather than with Fl_Menu_::add(), which
// parses labels as paths and merges items of equal label: objects may share
// a name and must still be separate items.
std::vector<Fl_Menu_Item> menuItems(const MenuBar& bar, Fl_Callback* callback, std::deque<std::string>& labels) {
    std::vector<Fl_Menu_Item> items;
    auto item = [&](const std::string& label, int flags, void* data, Fl_Callback* cb, char ctrlKey = 0) {
        Fl_Menu_Item entry{};
        // Shown beside the label; the view's key handling runs it.
        if (ctrlKey != 0) entry.shortcut_ = FL_CTRL + std::tolower(static_cast<unsigned char>(ctrlKey));
        labels.push_back(literalLabel(label));
        entry.text = labels.back().c_str();
        entry.flags = flags;
        entry.callback_ = cb;
        entry.user_data_ = data;
        items.push_back(entry);
    };
    for (const Menu& menu : bar.menus) {
        item(menu.title, FL_SUBMENU, nullptr, nullptr);
        for (const MenuItem& entry : menu.items) {
            const int flags = entry.checked ? FL_MENU_TOGGLE | FL_MENU_VALUE : 0;
            item(entry.label, flags, reinterpret_cast<void*>(static_cast<std::intptr_t>(entry.id)), callback,
                 entry.ctrlKey);
        }
        items.push_back(Fl_Menu_Item{});  // end of the submenu
    }
    items.push_back(Fl_Menu_Item{});  // end of the bar
    return items;
}

}  // namespace kelvane::platform::fltk
