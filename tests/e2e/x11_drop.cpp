// Drops a text/uri-list on a window the way a file manager does, through the
// XDND protocol: enter and position messages, a drop once the window accepts,
// the list served from the XdndSelection, until the window says finished.
// usage: x11_drop WINDOW-ID X Y URI-LIST   (X, Y in the window)
#include <X11/Xlib.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s WINDOW-ID X Y URI-LIST\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "%s: cannot open the X display\n", argv[0]);
        return 1;
    }
    const ::Window target = std::strtoul(argv[1], nullptr, 0);
    const std::string list = argv[4];
    const ::Window root = DefaultRootWindow(display);
    const ::Window source = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    const auto atom = [display](const char* name) { return XInternAtom(display, name, False); };
    const Atom status = atom("XdndStatus"), finished = atom("XdndFinished"), selection = atom("XdndSelection");
    int rootX = 0, rootY = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, target, root, std::atoi(argv[2]), std::atoi(argv[3]), &rootX, &rootY, &child);
    XSetSelectionOwner(display, selection, source, CurrentTime);

    const auto send = [&](Atom type, long l1, long l2, long l3, long l4) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = target;
        event.xclient.message_type = type;
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(source);
        event.xclient.data.l[1] = l1;
        event.xclient.data.l[2] = l2;
        event.xclient.data.l[3] = l3;
        event.xclient.data.l[4] = l4;
        XSendEvent(display, target, False, NoEventMask, &event);
        XFlush(display);
    };
    send(atom("XdndEnter"), 5L << 24, static_cast<long>(atom("text/uri-list")), 0, 0);  // protocol 5, one type
    send(atom("XdndPosition"), 0, (rootX << 16) | rootY, CurrentTime, static_cast<long>(atom("XdndActionCopy")));

    bool dropped = false;
    for (int wait = 0; wait < 6000; ++wait) {  // 60 s at most: a loaded machine is slow
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && event.xclient.message_type == status && !dropped) {
                if ((event.xclient.data.l[1] & 1) == 0) {
                    std::fprintf(stderr, "%s: the window refuses the drop\n", argv[0]);
                    return 1;
                }
                send(atom("XdndDrop"), 0, CurrentTime, 0, 0);
                dropped = true;
            } else if (event.type == SelectionRequest) {
                const XSelectionRequestEvent& request = event.xselectionrequest;
                XChangeProperty(display, request.requestor, request.property, request.target, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(list.data()), static_cast<int>(list.size()));
                XEvent notify{};
                notify.xselection.type = SelectionNotify;
                notify.xselection.requestor = request.requestor;
                notify.xselection.selection = request.selection;
                notify.xselection.target = request.target;
                notify.xselection.property = request.property;
                notify.xselection.time = request.time;
                XSendEvent(display, request.requestor, False, NoEventMask, &notify);
                XFlush(display);
            } else if (event.type == ClientMessage && event.xclient.message_type == finished) {
                XCloseDisplay(display);
                return 0;
            }
        }
        usleep(10000);
    }
    std::fprintf(stderr, "%s: the drop did not finish\n", argv[0]);
    return 1;
}
