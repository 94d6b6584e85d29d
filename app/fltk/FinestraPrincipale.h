#pragma once
// The installer's window on screen: draws frmPrincipale's controls from
// their data, back to front, each container clipping its children, and
// turns clicks and mouse moves into the window's handlers.
#include <functional>
#include <string>
#include <vector>

#include <FL/Fl_Double_Window.H>

#include "app/frmPrincipale.h"

namespace noce::fltk {

struct Rettangolo {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Rettangolo&) const = default;
    bool Contiene(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

class FinestraPrincipale : public Fl_Double_Window {
public:
    // `gestore` runs a handler of the form as an event: the view wraps it in
    // frmPrincipale::Evento and brings the screen and timers up to date.
    FinestraPrincipale(frmPrincipale& form, std::function<void(const std::function<void()>&)> gestore);

    // Compares the controls with what is on screen and repaints only the
    // places that changed; cheap when nothing did.
    void Aggiorna();

    void draw() override;
    int handle(int evento) override;

    // Where a control lies on the window, and whether it can be seen (it
    // and every container holding it are visible).
    Rettangolo Esterno(const Controllo& c) const;
    bool Mostrato(const Controllo& c) const;

private:
    // What the screen shows of one control; a change means a repaint there.
    struct Aspetto {
        bool mostrato = false;
        Rettangolo posto;  // where it lies, uncut: a strip moving under its frame
        Rettangolo r;      // what can be seen of it
        bool Enabled = false, Trasparente = false, Value = false;
        std::string Caption;
        std::string font;
        Colore ForeColor, BackColor;
        Allineamento Alignment = Allineamento::Sinistra;
        Bordo BorderStyle = Bordo::Nessuno;
        const Immagine* Picture = nullptr;
        std::vector<std::string> Elementi;
        bool operator==(const Aspetto&) const = default;
    };
    Aspetto Fotografa(const Controllo& c) const;

    Rettangolo Interno(const Controllo* contenitore) const;
    void DisegnaFigli(const Controllo* contenitore);
    void DisegnaControllo(const Controllo& c);
    void DisegnaEtichetta(const Controllo& c, const Rettangolo& r);
    void DisegnaCasella(const Controllo& c, const Rettangolo& r);
    void DisegnaOpzione(const Controllo& c, const Rettangolo& r);
    void DisegnaElenco(const Controllo& c, const Rettangolo& r);

    // The control that gets a mouse event at a point: the front-most shown
    // one, a container's children before the container; a disabled control
    // hands the event to its container. nullptr is the window itself.
    Controllo* Bersaglio(int x, int y);
    Controllo* BersaglioIn(Controllo* contenitore, int x, int y);
    void Movimento(Controllo* c);
    void Clic(Controllo* c);
    void Puntatore(Controllo* sotto);
    int Indice(const Controllo* c, const Controllo* primo, std::size_t quanti) const;

    frmPrincipale& form_;
    std::function<void(const std::function<void()>&)> gestore_;
    std::vector<Controllo*> controlli_;  // front first
    std::vector<Aspetto> visti_;  // as last drawn, same order
    std::string titolo_;
    Colore sfondo_;
    Controllo* premuto_ = nullptr;
    bool premutoFinestra_ = false;
    const Immagine* puntatore_ = nullptr;
};

}  // namespace noce::fltk
