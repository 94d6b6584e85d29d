// The scrolling strip, and the guards that keep timer ticks apart.
#include "frmPrincipale.h"

namespace noce {

void frmPrincipale::tmrScorrimento_Timer() {
    picInterno.Left += 4.0f * TwipsPerPixel;
    if (picInterno.Left > 0) picInterno.Left = picConteiner.Width - picInterno.Width;
    ui.DoEvents();
}

void frmPrincipale::TickScorrimento() {
    if (!tmrScorrimento.Enabled || scorrimentoInCorso_) return;
    InCorso::Guardia guardia(scorrimentoInCorso_);
    Evento([this] { tmrScorrimento_Timer(); });
}

}  // namespace noce
