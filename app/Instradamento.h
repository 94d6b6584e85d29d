#pragma once
// Which handler of the window a mouse event over a control runs, and
// running it. The controls without a handler of that event get none.
#include <cstdint>
#include <vector>

#include "Controlli.h"

namespace noce {

class frmPrincipale;

enum class Gestore {
    Nessuno,
    Form_MouseMove,
    ImgTasto_MouseMove,
    lblInformazioni_MouseMove,
    picInformazioni_MouseMove,
    picVersione_MouseMove,
    lblCliccaQui_MouseMove,
    ImgTasto_Click,
    lblCliccaQui_Click,
    // No handler of the window: the runtime selects the option button.
    SceltaOpzione,
};

struct Chiamata {
    Gestore gestore = Gestore::Nessuno;
    std::int16_t Index = 0;       // for a control array
    Controllo* opzione = nullptr;  // SceltaOpzione: the button clicked
    bool operator==(const Chiamata&) const = default;
};

// `sotto` is the control under the pointer (Geometria::Bersaglio); nullptr
// is the window itself.
Chiamata AlMovimento(frmPrincipale& form, const Controllo* sotto);
Chiamata AlClic(frmPrincipale& form, Controllo* cliccato);

// Runs the call as an event (frmPrincipale::Evento). The option buttons of
// one container are one group: exactly one of them is selected.
void Esegui(frmPrincipale& form, const Chiamata& chiamata, const std::vector<Controllo*>& controlli);

}  // namespace noce
