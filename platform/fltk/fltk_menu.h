#pragma once

// The menu bar value as an FLTK menu array.

#include <FL/Fl_Menu_Item.H>

#include <deque>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kelvane::platform::fltk {

// A label as FLTK draws it literally: '&' (underline mark) and '@' (symbol
// mark) doubled. Item labels are not parsed as paths, so '/', '_' and '\'
// need nothing.
std::string literalLabel(const std::string& label);

// One submenu per menu, one item per menu item with its id as user data and
// a check box when checked. The labels are kept in `labels`, which must
// outlive the menu.
std::vector<Fl_Menu_Item> menuItems(const MenuBar& bar, Fl_Callback* callback, std::deque<std::string>& labels);

}  // namespace kelvane::platform::fltk
