// The installer: creates its window, runs the start-up handlers, shows it
// and runs the event loop until a handler ends the program or the window is
// closed. The view is the platform's: native on Windows, FLTK elsewhere.
#if defined(_WIN32)
#include "win32/VistaWin32.h"
using Vista = noce::VistaWin32;
#else
#include "fltk/VistaFltk.h"
using Vista = noce::VistaFltk;
#endif
#include "frmPrincipale.h"

int main() {
    Vista vista;
    noce::frmPrincipale form(vista);
    vista.Collega(form);
    form.Evento([&] { form.Form_Load(); });
    vista.Mostra();
    form.Evento([&] { form.Form_Activate(); });
    return vista.Esegui();
}
