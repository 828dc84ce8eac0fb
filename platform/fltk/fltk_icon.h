#pragma once

// The program's icon on its windows, carried in the program itself: the
// desktop shows it whether or not the package put an icon theme in place.

namespace kelvane::platform::fltk {

// Every window shown from now on carries the icon (_NET_WM_ICON on X11).
void useProgramIcon();

}  // namespace kelvane::platform::fltk
