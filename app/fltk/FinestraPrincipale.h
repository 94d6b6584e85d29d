#pragma once
// The installer's window on screen: paints the layers ComportamentoFinestra
// lays out, repaints what it reports, and hands it the mouse.
#include <FL/Fl_Double_Window.H>

#include "app/ComportamentoFinestra.h"
#include "app/frmPrincipale.h"

namespace noce::fltk {

class FinestraPrincipale : public Fl_Double_Window {
public:
    FinestraPrincipale(frmPrincipale& form, ComportamentoFinestra& comportamento);

    // Brings to the screen what changed: the caption and the damaged places.
    void Ridipingi(const Aggiornamento& a);

    void draw() override;
    int handle(int evento) override;

private:
    void DisegnaStrato(const Strato& s);
    void DisegnaEtichetta(const Strato& s);
    void DisegnaCasella(const Strato& s);
    void DisegnaOpzione(const Strato& s);
    void DisegnaElenco(const Strato& s);
    void MostraCursore(const Cursore& c);

    frmPrincipale& form_;
    ComportamentoFinestra& comportamento_;
    Cursore cursore_;
};

}  // namespace noce::fltk
