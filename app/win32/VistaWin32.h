#pragma once
// The installer's user interface on Windows: shows frmPrincipale in a
// native window, gives ComportamentoFinestra SetTimer timers, and answers
// the three requests a handler may make with MessageBoxW, a PeekMessage
// loop and an immediate end.
#include <memory>

#include "app/Interfaccia.h"

namespace noce {

class frmPrincipale;
class ComportamentoFinestra;
namespace win32 {
class FinestraPrincipale;
}

class VistaWin32 : public InterfacciaUtente, private TimerPeriodici {
public:
    VistaWin32();
    ~VistaWin32() override;
    VistaWin32(const VistaWin32&) = delete;
    VistaWin32& operator=(const VistaWin32&) = delete;

    // The window this view shows, created hidden now. Call before its
    // first handler runs.
    void Collega(frmPrincipale& form);
    // Shows the window and returns once it is painted.
    void Mostra();
    // Runs the message loop until the program ends.
    int Esegui();

    int MsgBox(const std::string& testo, Pulsanti pulsanti, Icona icona, const std::string& titolo) override;
    void DoEvents() override;
    [[noreturn]] void End() override;

private:
    void Avvia(Orologio quale, int millisecondi) override;
    void Ferma(Orologio quale) override;
    void Aggiorna();

    std::unique_ptr<ComportamentoFinestra> comportamento_;
    std::unique_ptr<win32::FinestraPrincipale> finestra_;
};

}  // namespace noce
