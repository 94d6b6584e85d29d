// Drawing frmPrincipale and routing the mouse to its handlers.
#include "FinestraPrincipale.h"

#include <algorithm>
#include <array>

#include <FL/Fl.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>

#include "Disegno.h"

namespace noce::fltk {

namespace {

Rettangolo Intersezione(const Rettangolo& a, const Rettangolo& b) {
    int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    int x1 = std::min(a.x + a.w, b.x + b.w), y1 = std::min(a.y + a.h, b.y + b.h);
    if (x1 <= x0 || y1 <= y0) return {x0, y0, 0, 0};
    return {x0, y0, x1 - x0, y1 - y0};
}

int Spessore(Bordo b) { return b == Bordo::Rilievo3D ? 2 : 0; }

std::string Descrivi(const Carattere& c) {
    return c.Name + "/" + std::to_string(c.Size) + (c.Bold ? "/B" : "") + (c.Underline ? "/U" : "");
}

// The round mark of an option button, 13 pixels across, drawn smooth once.
Fl_RGB_Image& Tondo(bool selezionato, bool abilitato) {
    constexpr int L = 13;
    static std::array<std::array<unsigned char, L * L * 4>, 4> dati;
    static std::array<Fl_RGB_Image*, 4> immagini{};
    int k = (selezionato ? 1 : 0) + (abilitato ? 2 : 0);
    if (immagini[k]) return *immagini[k];
    const Colore anello = abilitato ? Colore{112, 120, 136} : Colore{188, 188, 188};
    const Colore dentro = abilitato ? Colore{250, 250, 250} : Colore{244, 244, 244};
    const Colore punto = abilitato ? Colore{24, 72, 140} : Colore{160, 160, 160};
    DipingiDisco(dati[k].data(), L, 6.5, [&](double, double, double d) {
        return d > 5.5 ? anello : (selezionato && d < 2.8 ? punto : dentro);
    });
    immagini[k] = new Fl_RGB_Image(dati[k].data(), L, L, 4);
    return *immagini[k];
}

constexpr Colore TestoDisabilitato{141, 141, 141};

}  // namespace

FinestraPrincipale::FinestraPrincipale(frmPrincipale& form, std::function<void(const std::function<void()>&)> gestore)
    : Fl_Double_Window(Pixel(form.ScaleWidth), Pixel(form.ScaleHeight)),
      form_(form),
      gestore_(std::move(gestore)),
      controlli_(form.Controlli()) {
    end();
    // A fixed single border: the size cannot change.
    size_range(w(), h(), w(), h());
    for (auto* c : controlli_) visti_.push_back(Fotografa(*c));
    titolo_ = form_.Caption;
    sfondo_ = form_.BackColor;
    copy_label(titolo_.c_str());
}

// ---- Geometry ---------------------------------------------------------------

Rettangolo FinestraPrincipale::Interno(const Controllo* contenitore) const {
    if (!contenitore) return {0, 0, w(), h()};
    Rettangolo r = Esterno(*contenitore);
    int b = Spessore(contenitore->BorderStyle);
    return {r.x + b, r.y + b, std::max(0, r.w - 2 * b), std::max(0, r.h - 2 * b)};
}

Rettangolo FinestraPrincipale::Esterno(const Controllo& c) const {
    Rettangolo in = Interno(c.Container);
    return {in.x + Pixel(c.Left), in.y + Pixel(c.Top), Pixel(c.Width), Pixel(c.Height)};
}

bool FinestraPrincipale::Mostrato(const Controllo& c) const {
    for (const Controllo* p = &c; p; p = p->Container)
        if (!p->Visible) return false;
    return true;
}

FinestraPrincipale::Aspetto FinestraPrincipale::Fotografa(const Controllo& c) const {
    Aspetto a;
    a.mostrato = Mostrato(c);
    a.posto = Esterno(c);
    // What can be seen of it: cut by every container and by the window.
    a.r = a.posto;
    for (const Controllo* p = c.Container; p; p = p->Container) a.r = Intersezione(a.r, Interno(p));
    a.r = Intersezione(a.r, Interno(nullptr));
    a.Enabled = c.Enabled;
    a.Trasparente = c.Trasparente;
    a.Value = c.Value;
    a.Caption = c.Caption;
    a.font = Descrivi(c.Font);
    a.ForeColor = c.ForeColor;
    a.BackColor = c.BackColor;
    a.Alignment = c.Alignment;
    a.BorderStyle = c.BorderStyle;
    a.Picture = c.Picture;
    a.Elementi = c.Elementi;
    // A hidden control shows nothing: its other data do not matter.
    if (!a.mostrato || a.r.w == 0) a = Aspetto{};
    return a;
}

void FinestraPrincipale::Aggiorna() {
    if (form_.Caption != titolo_) {
        titolo_ = form_.Caption;
        copy_label(titolo_.c_str());
    }
    if (!(form_.BackColor == sfondo_)) {
        sfondo_ = form_.BackColor;
        redraw();
    }
    for (std::size_t i = 0; i < controlli_.size(); ++i) {
        Aspetto ora = Fotografa(*controlli_[i]);
        if (ora == visti_[i]) continue;
        // Both where it was and where it is now: the strip's bar is the
        // only place repainted while the strip alone moves.
        for (const Rettangolo& r : {visti_[i].r, ora.r})
            if (r.w > 0 && r.h > 0) damage(FL_DAMAGE_USER1, r.x, r.y, r.w, r.h);
        visti_[i] = std::move(ora);
    }
}

// ---- Drawing ------------------------------------------------------------------

void FinestraPrincipale::draw() {
    fl_color(ColoreFl(form_.BackColor));
    fl_rectf(0, 0, w(), h());
    DisegnaFigli(nullptr);
}

void FinestraPrincipale::DisegnaFigli(const Controllo* contenitore) {
    // Back to front: the list holds the front-most first.
    for (auto it = controlli_.rbegin(); it != controlli_.rend(); ++it)
        if ((*it)->Container == contenitore && (*it)->Visible) DisegnaControllo(**it);
}

void FinestraPrincipale::DisegnaControllo(const Controllo& c) {
    Rettangolo r = Esterno(c);
    if (r.w <= 0 || r.h <= 0 || !fl_not_clipped(r.x, r.y, r.w, r.h)) return;
    fl_push_clip(r.x, r.y, r.w, r.h);
    switch (c.Tipo) {
    case TipoControllo::Etichetta: DisegnaEtichetta(c, r); break;
    case TipoControllo::CasellaImmagine: DisegnaCasella(c, r); break;
    case TipoControllo::Immagine:
        if (c.Picture) Decodifica(*c.Picture).draw(r.x, r.y);
        break;
    case TipoControllo::Opzione: DisegnaOpzione(c, r); break;
    case TipoControllo::Elenco:
    case TipoControllo::ElencoFile: DisegnaElenco(c, r); break;
    }
    fl_pop_clip();
}

void FinestraPrincipale::DisegnaEtichetta(const Controllo& c, const Rettangolo& r) {
    if (!c.Trasparente) {
        fl_color(ColoreFl(c.BackColor));
        fl_rectf(r.x, r.y, r.w, r.h);
    }
    ScegliCarattere(c.Font);
    fl_color(ColoreFl(c.Enabled ? c.ForeColor : TestoDisabilitato));
    DisegnaRighe(RigheTesto(c.Caption, r.w), r.x, r.y, r.w, c.Alignment, c.Font.Underline);
}

void FinestraPrincipale::DisegnaCasella(const Controllo& c, const Rettangolo& r) {
    fl_color(ColoreFl(c.BackColor));
    fl_rectf(r.x, r.y, r.w, r.h);
    if (c.BorderStyle == Bordo::Rilievo3D) {
        // Sunken, as Windows draws a picture box's default border.
        fl_color(fl_rgb_color(160, 160, 160));
        fl_xyline(r.x, r.y, r.x + r.w - 1);
        fl_yxline(r.x, r.y, r.y + r.h - 1);
        fl_color(fl_rgb_color(105, 105, 105));
        fl_xyline(r.x + 1, r.y + 1, r.x + r.w - 2);
        fl_yxline(r.x + 1, r.y + 1, r.y + r.h - 2);
        fl_color(FL_WHITE);
        fl_xyline(r.x, r.y + r.h - 1, r.x + r.w - 1);
        fl_yxline(r.x + r.w - 1, r.y, r.y + r.h - 1);
        fl_color(fl_rgb_color(227, 227, 227));
        fl_xyline(r.x + 1, r.y + r.h - 2, r.x + r.w - 2);
        fl_yxline(r.x + r.w - 2, r.y + 1, r.y + r.h - 2);
    }
    Rettangolo in = Interno(&c);
    fl_push_clip(in.x, in.y, in.w, in.h);
    // At its natural size from the top-left corner, never stretched.
    if (c.Picture) Decodifica(*c.Picture).draw(in.x, in.y);
    DisegnaFigli(&c);
    fl_pop_clip();
}

void FinestraPrincipale::DisegnaOpzione(const Controllo& c, const Rettangolo& r) {
    fl_color(ColoreFl(c.BackColor));
    fl_rectf(r.x, r.y, r.w, r.h);
    Fl_RGB_Image& tondo = Tondo(c.Value, c.Enabled);
    tondo.draw(r.x, r.y + (r.h - tondo.h()) / 2);
    ScegliCarattere(c.Font);
    fl_color(ColoreFl(c.Enabled ? c.ForeColor : TestoDisabilitato));
    int x = r.x + tondo.w() + 4;
    int y = r.y + (r.h - fl_height()) / 2;
    DisegnaRighe({c.Caption}, x, y, r.w - (x - r.x), Allineamento::Sinistra, c.Font.Underline);
}

void FinestraPrincipale::DisegnaElenco(const Controllo& c, const Rettangolo& r) {
    fl_color(FL_WHITE);
    fl_rectf(r.x, r.y, r.w, r.h);
    fl_color(fl_rgb_color(130, 135, 144));
    fl_rect(r.x, r.y, r.w, r.h);
    ScegliCarattere(c.Font);
    fl_color(ColoreFl(c.ForeColor));
    DisegnaRighe(c.Elementi, r.x + 2, r.y + 1, r.w - 4, Allineamento::Sinistra, false);
}

// ---- The mouse ------------------------------------------------------------------

Controllo* FinestraPrincipale::BersaglioIn(Controllo* contenitore, int x, int y) {
    for (Controllo* c : controlli_) {
        if (c->Container != contenitore || !c->Visible || !Esterno(*c).Contiene(x, y)) continue;
        // Windows sends a disabled control's mouse to its container.
        if (!c->Enabled) return contenitore;
        if (c->Tipo == TipoControllo::CasellaImmagine && Interno(c).Contiene(x, y))
            if (Controllo* figlio = BersaglioIn(c, x, y)) return figlio;
        return c;
    }
    return contenitore;
}

Controllo* FinestraPrincipale::Bersaglio(int x, int y) { return BersaglioIn(nullptr, x, y); }

int FinestraPrincipale::Indice(const Controllo* c, const Controllo* primo, std::size_t quanti) const {
    for (std::size_t i = 0; i < quanti; ++i)
        if (c == primo + i) return static_cast<int>(i);
    return -1;
}

void FinestraPrincipale::Movimento(Controllo* c) {
    frmPrincipale& f = form_;
    if (!c) {
        gestore_([&f] { f.Form_MouseMove(); });
    } else if (int i = Indice(c, f.ImgTasto.data(), f.ImgTasto.size()); i >= 0) {
        gestore_([&f, i] { f.ImgTasto_MouseMove(static_cast<std::int16_t>(i)); });
    } else if (c == &f.lblInformazioni) {
        gestore_([&f] { f.lblInformazioni_MouseMove(); });
    } else if (c == &f.picInformazioni) {
        gestore_([&f] { f.picInformazioni_MouseMove(); });
    } else if (c == &f.picVersione) {
        gestore_([&f] { f.picVersione_MouseMove(); });
    } else if (c == &f.lblCliccaQui) {
        gestore_([&f] { f.lblCliccaQui_MouseMove(); });
    }
    // Every other control has no mouse-move handler: nothing happens.
}

void FinestraPrincipale::Clic(Controllo* c) {
    frmPrincipale& f = form_;
    if (int i = Indice(c, f.ImgTasto.data(), f.ImgTasto.size()); i >= 0) {
        gestore_([&f, i] { f.ImgTasto_Click(static_cast<std::int16_t>(i)); });
    } else if (c == &f.lblCliccaQui) {
        gestore_([&f] { f.lblCliccaQui_Click(); });
    } else if (c->Tipo == TipoControllo::Opzione) {
        // The buttons of one container form one group: exactly one selected.
        for (Controllo* o : controlli_)
            if (o->Tipo == TipoControllo::Opzione && o->Container == c->Container) o->Value = o == c;
        Aggiorna();
    }
}

void FinestraPrincipale::Puntatore(Controllo* sotto) {
    const Immagine* voluto = sotto && sotto->MousePointer == noce::Puntatore::Personalizzato ? sotto->MouseIcon : nullptr;
    if (voluto == puntatore_) return;
    puntatore_ = voluto;
    if (!voluto) {
        cursor(FL_CURSOR_DEFAULT);
        return;
    }
    // The hot spot is the tip of the raised index finger.
    cursor(&Decodifica(*voluto), 10, 1);
}

int FinestraPrincipale::handle(int evento) {
    switch (evento) {
    case FL_ENTER:
    case FL_MOVE: {
        Controllo* c = Bersaglio(Fl::event_x(), Fl::event_y());
        Movimento(c);
        Puntatore(Bersaglio(Fl::event_x(), Fl::event_y()));
        return 1;
    }
    case FL_DRAG:
        // While a button is held the control pressed keeps the mouse.
        if (premutoFinestra_) Movimento(premuto_);
        return 1;
    case FL_LEAVE:
        Puntatore(nullptr);
        return 1;
    case FL_PUSH:
        if (Fl::event_button() != FL_LEFT_MOUSE) return 1;
        premuto_ = Bersaglio(Fl::event_x(), Fl::event_y());
        premutoFinestra_ = true;
        return 1;
    case FL_RELEASE: {
        if (Fl::event_button() != FL_LEFT_MOUSE || !premutoFinestra_) return 1;
        premutoFinestra_ = false;
        Controllo* c = premuto_;
        premuto_ = nullptr;
        // A click is a press and a release over the same control.
        if (c && Bersaglio(Fl::event_x(), Fl::event_y()) == c) Clic(c);
        return 1;
    }
    default: return Fl_Double_Window::handle(evento);
    }
}

}  // namespace noce::fltk
