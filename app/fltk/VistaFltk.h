#pragma once
// The installer's user interface on FLTK: shows frmPrincipale, forwards
// its events, keeps the toolkit's timeouts in step with the window's two
// timers, and answers the three requests a handler may make.
#include <functional>
#include <memory>

#include "app/Interfaccia.h"

namespace noce {

class frmPrincipale;
namespace fltk {
class FinestraPrincipale;
}

class VistaFltk : public InterfacciaUtente {
public:
    VistaFltk();
    ~VistaFltk() override;
    VistaFltk(const VistaFltk&) = delete;
    VistaFltk& operator=(const VistaFltk&) = delete;

    // The window this view shows. Call before Mostra.
    void Collega(frmPrincipale& form);
    // Shows the window, centred on the screen, and returns once it is on
    // screen.
    void Mostra();
    // Runs the event loop until the program ends.
    int Esegui();

    int MsgBox(const std::string& testo, Pulsanti pulsanti, Icona icona, const std::string& titolo) override;
    void DoEvents() override;
    [[noreturn]] void End() override;

private:
    struct Orologio;
    // Runs a handler of the window as an event, then brings the screen and
    // the timers up to date with what it changed.
    void Gestisci(const std::function<void()>& gestore);
    void Aggiorna();
    static void Scatta(void* orologio);

    frmPrincipale* form_ = nullptr;
    std::unique_ptr<fltk::FinestraPrincipale> finestra_;
    std::unique_ptr<Orologio> ciclo_, scorrimento_;
};

}  // namespace noce
