#pragma once
// Asks the window manager for a fixed window with a close box only, the
// way Windows draws a fixed single-border window without minimize and
// maximize buttons. Without a window manager (Xvfb) there is no frame at
// all and this changes nothing.
//
// Only FLTK on X11 needs it: FLTK 1.3 draws through X11 everywhere but on
// Windows and macOS, where the toolkit speaks to the system itself.
#if !defined(_WIN32) && !defined(__APPLE__)
#define NOCE_FLTK_X11 1
#else
#define NOCE_FLTK_X11 0
#endif

#if NOCE_FLTK_X11
class Fl_Window;

namespace noce::fltk {

// `chiusura`: whether the title bar offers a close box.
void SoloChiusura(Fl_Window& finestra, bool chiusura);

}  // namespace noce::fltk
#endif
