// The scrolling strip, and the guards that keep timer ticks apart.
#include "frmPrincipale.h"

namespace noce {

namespace {

// Sets a flag for the length of a tick.
class InCorso {
public:
    explicit InCorso(bool& flag) : flag_(flag) { flag_ = true; }
    ~InCorso() { flag_ = false; }
    InCorso(const InCorso&) = delete;
    InCorso& operator=(const InCorso&) = delete;

private:
    bool& flag_;
};

}  // namespace

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
