#pragma once
// The installer's user interface on FLTK: shows frmPrincipale, translates
// FLTK's events and timeouts for ComportamentoFinestra, and answers the
// three requests a handler may make.
#include <array>
#include <memory>

#include "app/Interfaccia.h"

namespace noce {

class frmPrincipale;
class ComportamentoFinestra;
struct Aggiornamento;
namespace fltk {
class FinestraPrincipale;
}

class VistaFltk : public InterfacciaUtente, private TimerPeriodici {
public:
    VistaFltk();
    ~VistaFltk() override;
    VistaFltk(const VistaFltk&) = delete;
    VistaFltk& operator=(const VistaFltk&) = delete;

    // The window this view shows. Call before its first handler runs.
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
    // One of the two timers as a repeating FLTK timeout.
    struct Timeout {
        VistaFltk* vista = nullptr;
        Orologio quale{};
        double secondi = 0;
    };
    void Avvia(Orologio quale, int millisecondi) override;
    void Ferma(Orologio quale) override;
    static void Scatta(void* orologio);
    void Ridipingi(const Aggiornamento& a);
    void Aggiorna();

    frmPrincipale* form_ = nullptr;
    std::unique_ptr<ComportamentoFinestra> comportamento_;
    std::unique_ptr<fltk::FinestraPrincipale> finestra_;
    std::array<Timeout, 2> timeout_;
};

}  // namespace noce
