// The events of a view turned into the window's handlers.
#include "ComportamentoFinestra.h"

#include "frmPrincipale.h"

namespace noce {

namespace {

// The tip of the hand's raised index finger.
constexpr int PuntaManoX = 10, PuntaManoY = 1;

}  // namespace

ComportamentoFinestra::ComportamentoFinestra(frmPrincipale& form, TimerPeriodici& timer)
    : form_(form), geometria_(form), ridisegno_(form, geometria_), orologi_(form, timer) {}

Aggiornamento ComportamentoFinestra::Aggiorna() {
    orologi_.Allinea();
    return ridisegno_.Confronta();
}

Aggiornamento ComportamentoFinestra::Movimento(int x, int y) {
    const Controllo* sotto = premuto_ ? premutoSu_ : geometria_.Bersaglio(x, y);
    Esegui(form_, AlMovimento(form_, sotto), geometria_.Controlli());
    return Aggiorna();
}

void ComportamentoFinestra::Pressione(int x, int y) {
    premuto_ = true;
    premutoSu_ = geometria_.Bersaglio(x, y);
}

Aggiornamento ComportamentoFinestra::Rilascio(int x, int y) {
    if (!premuto_) return {};
    premuto_ = false;
    Controllo* c = premutoSu_;
    premutoSu_ = nullptr;
    if (c && geometria_.Bersaglio(x, y) == c) Esegui(form_, AlClic(form_, c), geometria_.Controlli());
    return Aggiorna();
}

Aggiornamento ComportamentoFinestra::Scatto(Orologio quale) {
    orologi_.Scatto(quale);
    return Aggiorna();
}

std::vector<std::string> ComportamentoFinestra::Righe(const Strato& s, const MisuraTesto& misura) {
    return RigheTesto(s.controllo->Caption, s.posto.w, misura);
}

Cursore ComportamentoFinestra::CursoreIn(int x, int y) const {
    const Controllo* c = geometria_.Bersaglio(x, y);
    if (!c || c->MousePointer != Puntatore::Personalizzato || !c->MouseIcon) return {};
    return {c->MouseIcon, PuntaManoX, PuntaManoY};
}

}  // namespace noce
