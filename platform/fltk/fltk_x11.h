#pragma once

// The few things the FLTK backend asks of X11 and GLX directly, kept apart
// because the X11 headers define names (Window, Status, None) that clash
// with ordinary code.

#include <string>

#include "common/result.h"

class Fl_Gl_Window;

namespace kelvane::platform::fltk {

// GLX attributes of the viewer's pixel format: RGBA with 8 bits a colour
// channel, double-buffered, 16 depth bits.
extern const int kGlAttributes[];

// Opens FLTK's connection to the X display; the reason when there is no
// display, instead of FLTK's fatal error.
Outcome openDisplay();

// Asks for one buffer swap per display refresh, where GLX offers it, so the
// frame loop is paced by the display instead of spinning.
void requestSwapInterval(Fl_Gl_Window& window);

}  // namespace kelvane::platform::fltk
