#pragma once
// Where each control lies on the window in pixels, and what of it can be
// seen: one answer for painting, for repainting and for the mouse.
#include <vector>

#include "Controlli.h"

namespace noce {

class frmPrincipale;

struct Rettangolo {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Rettangolo&) const = default;
    bool Vuoto() const { return w <= 0 || h <= 0; }
    bool Contiene(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

Rettangolo Intersezione(const Rettangolo& a, const Rettangolo& b);

// Twips to pixels at 96 dots per inch, rounded to the nearest.
int Pixel(double twips);

// One control as a view paints it, in client-area pixels.
struct Strato {
    const Controllo* controllo = nullptr;
    Rettangolo posto;     // where it lies, uncut
    Rettangolo visibile;  // what can be seen: cut by every container and the window
    Rettangolo interno;   // inside its border: a picture box's picture and children
};

class Geometria {
public:
    explicit Geometria(frmPrincipale& form);

    // The client area.
    Rettangolo Area() const;
    Rettangolo Esterno(const Controllo& c) const;
    // Inside a container's border; nullptr is the client area.
    Rettangolo Interno(const Controllo* contenitore) const;
    Rettangolo Visibile(const Controllo& c) const;
    // It and every container holding it are visible.
    bool Mostrato(const Controllo& c) const;

    // The shown controls in painting order: back to front, each container
    // just before its children. Controls with nothing to see are left out.
    std::vector<Strato> Strati() const;

    // The control that gets a mouse event at a point: the front-most shown
    // one, a container's children before the container; a disabled control
    // hands the event to its container, as Windows does. nullptr is the
    // window itself.
    Controllo* Bersaglio(int x, int y) const;

    // Every control, front first.
    const std::vector<Controllo*>& Controlli() const { return controlli_; }

private:
    Controllo* BersaglioIn(Controllo* contenitore, int x, int y) const;
    void Impila(const Controllo* contenitore, std::vector<Strato>& strati) const;

    frmPrincipale& form_;
    std::vector<Controllo*> controlli_;
};

}  // namespace noce
