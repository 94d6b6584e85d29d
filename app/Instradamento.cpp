// The mouse events of the window and the handlers they reach.
#include "Instradamento.h"

#include "frmPrincipale.h"

namespace noce {

namespace {

// The index of a control in a control array, or -1.
template <std::size_t N>
int Indice(const Controllo* c, const std::array<Controllo, N>& schiera) {
    for (std::size_t i = 0; i < N; ++i)
        if (c == &schiera[i]) return static_cast<int>(i);
    return -1;
}

}  // namespace

Chiamata AlMovimento(frmPrincipale& f, const Controllo* c) {
    if (!c) return {Gestore::Form_MouseMove};
    if (int i = Indice(c, f.ImgTasto); i >= 0) return {Gestore::ImgTasto_MouseMove, static_cast<std::int16_t>(i)};
    if (c == &f.lblInformazioni) return {Gestore::lblInformazioni_MouseMove};
    if (c == &f.picInformazioni) return {Gestore::picInformazioni_MouseMove};
    if (c == &f.picVersione) return {Gestore::picVersione_MouseMove};
    if (c == &f.lblCliccaQui) return {Gestore::lblCliccaQui_MouseMove};
    return {};
}

Chiamata AlClic(frmPrincipale& f, Controllo* c) {
    if (!c) return {};
    if (int i = Indice(c, f.ImgTasto); i >= 0) return {Gestore::ImgTasto_Click, static_cast<std::int16_t>(i)};
    if (c == &f.lblCliccaQui) return {Gestore::lblCliccaQui_Click};
    if (c->Tipo == TipoControllo::Opzione) return {Gestore::SceltaOpzione, 0, c};
    return {};
}

void Esegui(frmPrincipale& f, const Chiamata& ch, const std::vector<Controllo*>& controlli) {
    if (ch.gestore == Gestore::Nessuno) return;
    f.Evento([&] {
        switch (ch.gestore) {
        case Gestore::Nessuno: break;
        case Gestore::Form_MouseMove: f.Form_MouseMove(); break;
        case Gestore::ImgTasto_MouseMove: f.ImgTasto_MouseMove(ch.Index); break;
        case Gestore::lblInformazioni_MouseMove: f.lblInformazioni_MouseMove(); break;
        case Gestore::picInformazioni_MouseMove: f.picInformazioni_MouseMove(); break;
        case Gestore::picVersione_MouseMove: f.picVersione_MouseMove(); break;
        case Gestore::lblCliccaQui_MouseMove: f.lblCliccaQui_MouseMove(); break;
        case Gestore::ImgTasto_Click: f.ImgTasto_Click(ch.Index); break;
        case Gestore::lblCliccaQui_Click: f.lblCliccaQui_Click(); break;
        case Gestore::SceltaOpzione:
            for (Controllo* o : controlli)
                if (o->Tipo == TipoControllo::Opzione && o->Container == ch.opzione->Container)
                    o->Value = o == ch.opzione;
            break;
        }
    });
}

}  // namespace noce
