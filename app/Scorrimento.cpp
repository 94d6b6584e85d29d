// The scrolling strip, and the guards that keep timer ticks apart.
#include "InCorso.h"
#include "frmPrincipale.h"

namespace noce {

void frmPrincipale::tmrScorrimento_Timer() {
    picInterno.Left += 4.0f * TwipsPerPixel;
    if (picInterno.Left > 0) picInterno.Left = picConteiner.Width - picInterno.Width;
    ui.DoEvents();
}

void frmPrincipale::TickScorrimento() {
    if (!tmrScorrimento.Enabled || scorrimentoInCorso_) return;
    InCorso c(scorrimentoInCorso_);
    Evento([this] { tmrScorrimento_Timer(); });
}

}  // namespace noce
