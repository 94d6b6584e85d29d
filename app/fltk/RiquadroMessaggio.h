#pragma once
// Message boxes drawn as Windows draws them: the icon, the text, the
// buttons, the title. Modal, yet the program's timers go on running while
// one is open, and a second box can open over the first.
#include <string>

#include "app/Interfaccia.h"

class Fl_Window;

namespace noce::fltk {

// Shows the box centred over `sopra` (or the screen when it is not shown)
// and returns vbOK, vbYes or vbNo. The first button is the default: Return
// presses the button that has the focus, the first one at the start.
int MostraRiquadro(const std::string& testo, Pulsanti pulsanti, Icona icona, const std::string& titolo,
                   Fl_Window* sopra);

}  // namespace noce::fltk
