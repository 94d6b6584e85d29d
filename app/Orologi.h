#pragma once
// The window's two timers on the view's periodic timers: armed while
// enabled, re-armed when the interval changes, stopped when disabled.
#include "Interfaccia.h"

namespace noce {

class frmPrincipale;
struct Timer;

class Orologi {
public:
    Orologi(frmPrincipale& form, TimerPeriodici& timer);

    // After every handler: brings the view's timers in step with the
    // window's.
    void Allinea();
    // A tick of the view's timer: runs the window's tick, then Allinea.
    void Scatto(Orologio quale);

private:
    struct Stato {
        Timer* timer;
        void (frmPrincipale::*tick)();
        bool armato = false;
        int intervallo = 0;
    };
    Stato& Di(Orologio quale);
    void Allinea(Orologio quale);
    void Ferma(Orologio quale);

    frmPrincipale& form_;
    TimerPeriodici& timer_;
    Stato ciclo_, scorrimento_;
};

}  // namespace noce
