// Controls to pixels, their clipping by containers, and the hit test.
#include "Geometria.h"

#include <algorithm>
#include <cmath>

#include "frmPrincipale.h"

namespace noce {

namespace {

// The default 3D border of a picture box takes two pixels a side; the flat
// one draws inside the box.
int Spessore(Bordo b) { return b == Bordo::Rilievo3D ? 2 : 0; }

}  // namespace

Rettangolo Intersezione(const Rettangolo& a, const Rettangolo& b) {
    int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    int x1 = std::min(a.x + a.w, b.x + b.w), y1 = std::min(a.y + a.h, b.y + b.h);
    if (x1 <= x0 || y1 <= y0) return {x0, y0, 0, 0};
    return {x0, y0, x1 - x0, y1 - y0};
}

int Pixel(double twips) { return static_cast<int>(std::lround(twips / TwipsPerPixel)); }

Geometria::Geometria(frmPrincipale& form) : form_(form), controlli_(form.Controlli()) {}

Rettangolo Geometria::Area() const { return {0, 0, Pixel(form_.ScaleWidth), Pixel(form_.ScaleHeight)}; }

Rettangolo Geometria::Interno(const Controllo* contenitore) const {
    if (!contenitore) return Area();
    Rettangolo r = Esterno(*contenitore);
    int b = Spessore(contenitore->BorderStyle);
    return {r.x + b, r.y + b, std::max(0, r.w - 2 * b), std::max(0, r.h - 2 * b)};
}

Rettangolo Geometria::Esterno(const Controllo& c) const {
    Rettangolo in = Interno(c.Container);
    return {in.x + Pixel(c.Left), in.y + Pixel(c.Top), Pixel(c.Width), Pixel(c.Height)};
}

Rettangolo Geometria::Visibile(const Controllo& c) const {
    Rettangolo r = Esterno(c);
    for (const Controllo* p = c.Container; p; p = p->Container) r = Intersezione(r, Interno(p));
    return Intersezione(r, Area());
}

bool Geometria::Mostrato(const Controllo& c) const {
    for (const Controllo* p = &c; p; p = p->Container)
        if (!p->Visible) return false;
    return true;
}

std::vector<Strato> Geometria::Strati() const {
    std::vector<Strato> strati;
    Impila(nullptr, strati);
    return strati;
}

void Geometria::Impila(const Controllo* contenitore, std::vector<Strato>& strati) const {
    for (auto it = controlli_.rbegin(); it != controlli_.rend(); ++it) {
        const Controllo& c = **it;
        if (c.Container != contenitore || !c.Visible) continue;
        Strato s{&c, Esterno(c), Visibile(c), Interno(&c)};
        if (s.posto.Vuoto() || s.visibile.Vuoto()) continue;
        strati.push_back(s);
        if (c.Tipo == TipoControllo::CasellaImmagine) Impila(&c, strati);
    }
}

Controllo* Geometria::Bersaglio(int x, int y) const { return BersaglioIn(nullptr, x, y); }

Controllo* Geometria::BersaglioIn(Controllo* contenitore, int x, int y) const {
    for (Controllo* c : controlli_) {
        if (c->Container != contenitore || !c->Visible || !Esterno(*c).Contiene(x, y)) continue;
        if (!c->Enabled) return contenitore;
        if (c->Tipo == TipoControllo::CasellaImmagine && Interno(c).Contiene(x, y))
            if (Controllo* figlio = BersaglioIn(c, x, y)) return figlio;
        return c;
    }
    return contenitore;
}

}  // namespace noce
