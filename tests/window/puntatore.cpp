// puntatore: prints the mouse pointer's image size and hot spot as
// "WxH X,Y", so the tests can tell the hand over the help link from the
// ordinary arrow (screenshots never show the pointer).
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

int main() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "puntatore: cannot open the display\n");
        return 1;
    }
    int evento, errore;
    if (!XFixesQueryExtension(d, &evento, &errore)) {
        std::fprintf(stderr, "puntatore: the X server has no XFIXES\n");
        return 1;
    }
    XFixesCursorImage* c = XFixesGetCursorImage(d);
    if (!c) {
        std::fprintf(stderr, "puntatore: no pointer image\n");
        return 1;
    }
    std::printf("%dx%d %d,%d\n", c->width, c->height, c->xhot, c->yhot);
    XFree(c);
    XCloseDisplay(d);
    return 0;
}
