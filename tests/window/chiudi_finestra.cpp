// chiudi-finestra WINDOW-ID: asks a window to close, as a window manager
// does when its close box is clicked (WM_DELETE_WINDOW). Under Xvfb there is
// no window manager and no close box, so the tests send this themselves.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: chiudi-finestra WINDOW-ID\n");
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "chiudi-finestra: cannot open the display\n");
        return 1;
    }
    Window w = std::strtoul(argv[1], nullptr, 0);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    if (!XSendEvent(d, w, False, NoEventMask, &e)) {
        std::fprintf(stderr, "chiudi-finestra: the event could not be sent\n");
        return 1;
    }
    XSync(d, False);
    XCloseDisplay(d);
    return 0;
}
