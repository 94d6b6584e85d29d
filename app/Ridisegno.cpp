// Change detection between two looks at the window.
#include "Ridisegno.h"

#include "frmPrincipale.h"

namespace noce {

Ridisegno::Ridisegno(const frmPrincipale& form, const Geometria& geometria)
    : form_(form), geometria_(geometria), titolo_(form.Caption), sfondo_(form.BackColor) {
    for (const Controllo* c : geometria_.Controlli()) visti_.push_back(Fotografa(*c));
}

Ridisegno::Aspetto Ridisegno::Fotografa(const Controllo& c) const {
    Aspetto a;
    a.visibile = geometria_.Visibile(c);
    // A hidden control shows nothing: its other data do not matter.
    if (!geometria_.Mostrato(c) || a.visibile.Vuoto()) return Aspetto{};
    a.posto = geometria_.Esterno(c);
    a.Enabled = c.Enabled;
    a.Trasparente = c.Trasparente;
    a.Value = c.Value;
    a.Caption = c.Caption;
    a.Font = c.Font;
    a.ForeColor = c.ForeColor;
    a.BackColor = c.BackColor;
    a.Alignment = c.Alignment;
    a.BorderStyle = c.BorderStyle;
    a.Picture = c.Picture;
    a.Elementi = c.Elementi;
    return a;
}

Aggiornamento Ridisegno::Confronta() {
    Aggiornamento a;
    if (form_.Caption != titolo_) a.titolo = titolo_ = form_.Caption;
    if (!(form_.BackColor == sfondo_)) {
        sfondo_ = form_.BackColor;
        a.tutto = true;
    }
    const auto& controlli = geometria_.Controlli();
    for (std::size_t i = 0; i < controlli.size(); ++i) {
        Aspetto ora = Fotografa(*controlli[i]);
        if (ora == visti_[i]) continue;
        // Both where it was and where it is now.
        for (const Rettangolo& r : {visti_[i].visibile, ora.visibile})
            if (!r.Vuoto()) a.danni.push_back(r);
        visti_[i] = std::move(ora);
    }
    return a;
}

}  // namespace noce
