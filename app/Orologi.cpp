// Arming and disarming the view's timers.
#include "Orologi.h"

#include "frmPrincipale.h"

namespace noce {

Orologi::Orologi(frmPrincipale& form, TimerPeriodici& timer)
    : form_(form),
      timer_(timer),
      ciclo_{&form.TimerCiclo, &frmPrincipale::TickCiclo},
      scorrimento_{&form.tmrScorrimento, &frmPrincipale::TickScorrimento} {}

Orologi::Stato& Orologi::Di(Orologio quale) { return quale == Orologio::Ciclo ? ciclo_ : scorrimento_; }

void Orologi::Allinea() {
    Allinea(Orologio::Ciclo);
    Allinea(Orologio::Scorrimento);
}

void Orologi::Allinea(Orologio quale) {
    Stato& s = Di(quale);
    const bool vuole = s.timer->Enabled && s.timer->Interval > 0;
    if (s.armato && (!vuole || s.intervallo != s.timer->Interval)) Ferma(quale);
    if (vuole && !s.armato) {
        s.armato = true;
        s.intervallo = s.timer->Interval;
        timer_.Avvia(quale, s.intervallo);
    }
}

void Orologi::Ferma(Orologio quale) {
    Di(quale).armato = false;
    timer_.Ferma(quale);
}

void Orologi::Scatto(Orologio quale) {
    Stato& s = Di(quale);
    // A tick already on its way when the timer was stopped.
    if (!s.armato) return;
    // The view's timer is periodic, so the next tick is due while this one
    // runs: both timers keep ticking while a handler lets events through,
    // and the window's tick guards drop a tick that comes while one of the
    // same timer runs. A timer disabled or given a new interval since it
    // was armed stops before its handler runs; Allinea re-arms it with the
    // new interval.
    if (!s.timer->Enabled || s.timer->Interval != s.intervallo) Ferma(quale);
    (form_.*(s.tick))();
    Allinea();
}

}  // namespace noce
