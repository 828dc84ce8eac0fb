// Sends a window what a desktop sends it:
//   close WINDOW-ID              the close request of a window manager's close box
//                                (WM_PROTOCOLS with WM_DELETE_WINDOW);
//   drop WINDOW-ID X Y URI-LIST  a file manager's drop through XDND: enter and position,
//                                the drop once the window accepts, the list served from
//                                the XdndSelection, until the window says finished;
//   composite                    what a compositing desktop does to windows: every
//                                top-level window drawn to its own pixmap (the Composite
//                                extension's automatic redirection), so a menu or dialog
//                                closing over a window sends it no expose; holds until killed.
#include <X11/Xlib.h>
#include <X11/extensions/Xcomposite.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

namespace {

Display* display = nullptr;
::Window target = 0;

Atom atom(const char* name) { return XInternAtom(display, name, False); }

void sendMessage(Atom type, std::initializer_list<long> data) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    std::copy(data.begin(), data.end(), event.xclient.data.l);
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
}

int drop(int x, int y, const std::string& list) {
    const ::Window root = DefaultRootWindow(display);
    const ::Window source = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    const long from = static_cast<long>(source);
    int rootX = 0, rootY = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, target, root, x, y, &rootX, &rootY, &child);
    XSetSelectionOwner(display, atom("XdndSelection"), source, CurrentTime);
    // Protocol version 5, one type offered.
    sendMessage(atom("XdndEnter"), {from, 5L << 24, static_cast<long>(atom("text/uri-list"))});
    sendMessage(atom("XdndPosition"),
                {from, 0, (rootX << 16) | rootY, CurrentTime, static_cast<long>(atom("XdndActionCopy"))});
    bool dropped = false;
    for (int wait = 0; wait < 6000; ++wait, usleep(10000)) {  // 60 s at most: a loaded machine is slow
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            const Atom type = event.type == ClientMessage ? event.xclient.message_type : None;
            if (type == atom("XdndFinished")) return 0;
            if (type == atom("XdndStatus") && !dropped) {
                if ((event.xclient.data.l[1] & 1) == 0) return 1;  // the window refuses the drop
                sendMessage(atom("XdndDrop"), {from, 0, CurrentTime});
                dropped = true;
            } else if (event.type == SelectionRequest) {
                const XSelectionRequestEvent& request = event.xselectionrequest;
                XChangeProperty(display, request.requestor, request.property, request.target, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(list.data()), static_cast<int>(list.size()));
                XEvent notify{};
                notify.xselection = {SelectionNotify, 0, False, display, request.requestor, request.selection,
                                     request.target, request.property, request.time};
                XSendEvent(display, request.requestor, False, NoEventMask, &notify);
                XFlush(display);
            }
        }
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!(mode == "close" && argc == 3) && !(mode == "drop" && argc == 6) && !(mode == "composite" && argc == 2)) {
        std::fprintf(stderr, "usage: %s close WINDOW-ID | drop WINDOW-ID X Y URI-LIST | composite\n", argv[0]);
        return 2;
    }
    display = XOpenDisplay(nullptr);
    if (!display) return 1;
    if (mode == "composite") {
        int event = 0, error = 0;
        if (!XCompositeQueryExtension(display, &event, &error)) return 1;
        XCompositeRedirectSubwindows(display, DefaultRootWindow(display), CompositeRedirectAutomatic);
        XSync(display, False);
        std::puts("redirected");  // the redirection lasts while this connection does
        std::fflush(stdout);
        for (;;) pause();
    }
    target = std::strtoul(argv[2], nullptr, 0);
    if (mode == "drop") return drop(std::atoi(argv[3]), std::atoi(argv[4]), argv[5]);
    sendMessage(atom("WM_PROTOCOLS"), {static_cast<long>(atom("WM_DELETE_WINDOW")), CurrentTime});
    XSync(display, False);
    return 0;
}
