#include "platform/fltk/fltk_x11.h"

#include <FL/Fl_Gl_Window.H>
#include <FL/x.H>
#include <GL/glx.h>

#include <cstdlib>
#include <cstring>

namespace kelvane::platform::fltk {

const int kGlAttributes[] = {GLX_RGBA,       GLX_RED_SIZE,     8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                             GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, 0};

Outcome openDisplay() {
    if (fl_display) return Done{};
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        const char* name = std::getenv("DISPLAY");
        return failure(name && *name ? std::string("cannot open the X display \"") + name + "\""
                                     : std::string("cannot open the X display (DISPLAY is not set)"));
    }
    fl_open_display(display);
    return Done{};
}

void requestSwapInterval(Fl_Gl_Window& window) {
    if (!fl_display || !window.shown()) return;
    const char* extensions = glXQueryExtensionsString(fl_display, fl_screen);
    if (!extensions) return;
    if (std::strstr(extensions, "GLX_EXT_swap_control")) {
        using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
        auto set = reinterpret_cast<SwapIntervalExt>(
            glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
        if (set) {
            set(fl_display, fl_xid(&window), 1);
            return;
        }
    }
    if (std::strstr(extensions, "GLX_MESA_swap_control")) {
        using SwapIntervalMesa = int (*)(unsigned);
        auto set = reinterpret_cast<SwapIntervalMesa>(
            glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
        if (set) set(1);
    }
}

}  // namespace kelvane::platform::fltk
