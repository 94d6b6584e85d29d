// The installer: creates its window, runs the start-up handlers, shows it
// and runs the event loop until a handler ends the program or the window is
// closed.
#include "fltk/VistaFltk.h"
#include "frmPrincipale.h"

int main() {
    noce::VistaFltk vista;
    noce::frmPrincipale form(vista);
    vista.Collega(form);
    form.Evento([&] { form.Form_Load(); });
    vista.Mostra();
    form.Evento([&] { form.Form_Activate(); });
    return vista.Esegui();
}
