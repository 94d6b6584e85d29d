#pragma once
// Asks the window manager for a fixed window with a close box only, the
// way Windows draws a fixed single-border window without minimize and
// maximize buttons. Without a window manager (Xvfb) there is no frame at
// all and this changes nothing.
class Fl_Window;

namespace noce::fltk {

// `chiusura`: whether the title bar offers a close box.
void SoloChiusura(Fl_Window& finestra, bool chiusura);

}  // namespace noce::fltk
