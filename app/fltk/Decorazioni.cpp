// Motif window-manager hints: every common X11 window manager reads them.
#include "Decorazioni.h"

#if NOCE_FLTK_X11
#include <FL/Fl_Window.H>
#include <FL/x.H>

namespace noce::fltk {

namespace {

struct SuggerimentiMotif {
    unsigned long flags, functions, decorations;
    long input_mode;
    unsigned long status;
};
constexpr unsigned long MWM_HINTS_FUNCTIONS = 1, MWM_HINTS_DECORATIONS = 2;
constexpr unsigned long MWM_FUNC_MOVE = 4, MWM_FUNC_CLOSE = 32;
constexpr unsigned long MWM_DECOR_BORDER = 2, MWM_DECOR_TITLE = 8, MWM_DECOR_MENU = 16;

}  // namespace

void SoloChiusura(Fl_Window& finestra, bool chiusura) {
    if (!finestra.shown()) return;
    SuggerimentiMotif s{};
    s.flags = MWM_HINTS_FUNCTIONS | MWM_HINTS_DECORATIONS;
    s.functions = MWM_FUNC_MOVE | (chiusura ? MWM_FUNC_CLOSE : 0);
    s.decorations = MWM_DECOR_BORDER | MWM_DECOR_TITLE | (chiusura ? MWM_DECOR_MENU : 0);
    Atom atomo = XInternAtom(fl_display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(fl_display, fl_xid(&finestra), atomo, atomo, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&s), 5);
    XFlush(fl_display);
}

}  // namespace noce::fltk
#endif
