// Painting frmPrincipale and translating FLTK's mouse events.
#include "FinestraPrincipale.h"

#include <array>

#include <FL/Fl.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>

#include "Disegno.h"

namespace noce::fltk {

namespace {

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

void Riempi(const Rettangolo& r, Colore c) {
    fl_color(ColoreFl(c));
    fl_rectf(r.x, r.y, r.w, r.h);
}

}  // namespace

FinestraPrincipale::FinestraPrincipale(frmPrincipale& form, ComportamentoFinestra& comportamento)
    : Fl_Double_Window(comportamento.Area().w, comportamento.Area().h), form_(form), comportamento_(comportamento) {
    end();
    // A fixed single border: the size cannot change.
    size_range(w(), h(), w(), h());
    copy_label(form_.Caption.c_str());
}

void FinestraPrincipale::Ridipingi(const Aggiornamento& a) {
    if (a.titolo) copy_label(a.titolo->c_str());
    if (a.tutto) redraw();
    for (const Rettangolo& r : a.danni) damage(FL_DAMAGE_USER1, r.x, r.y, r.w, r.h);
}

// ---- Painting -------------------------------------------------------------------

void FinestraPrincipale::draw() {
    Riempi({0, 0, w(), h()}, form_.BackColor);
    for (const Strato& s : comportamento_.Strati()) {
        const Rettangolo& v = s.visibile;
        if (!fl_not_clipped(v.x, v.y, v.w, v.h)) continue;
        fl_push_clip(v.x, v.y, v.w, v.h);
        DisegnaStrato(s);
        fl_pop_clip();
    }
}

void FinestraPrincipale::DisegnaStrato(const Strato& s) {
    const Controllo& c = *s.controllo;
    switch (c.Tipo) {
    case TipoControllo::Etichetta: DisegnaEtichetta(s); break;
    case TipoControllo::CasellaImmagine: DisegnaCasella(s); break;
    case TipoControllo::Immagine:
        if (c.Picture) Decodifica(*c.Picture).draw(s.posto.x, s.posto.y);
        break;
    case TipoControllo::Opzione: DisegnaOpzione(s); break;
    case TipoControllo::Elenco:
    case TipoControllo::ElencoFile: DisegnaElenco(s); break;
    }
}

void FinestraPrincipale::DisegnaEtichetta(const Strato& s) {
    const Controllo& c = *s.controllo;
    const Rettangolo& r = s.posto;
    if (!c.Trasparente) Riempi(r, c.BackColor);
    ScegliCarattere(c.Font);
    fl_color(ColoreFl(c.Enabled ? c.ForeColor : TestoDisabilitato));
    DisegnaRighe(ComportamentoFinestra::Righe(s, LarghezzaFl), r.x, r.y, r.w, c.Alignment, c.Font.Underline);
}

void FinestraPrincipale::DisegnaCasella(const Strato& s) {
    const Controllo& c = *s.controllo;
    const Rettangolo& r = s.posto;
    Riempi(r, c.BackColor);
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
    // At its natural size from the top-left corner, never stretched.
    if (!c.Picture) return;
    fl_push_clip(s.interno.x, s.interno.y, s.interno.w, s.interno.h);
    Decodifica(*c.Picture).draw(s.interno.x, s.interno.y);
    fl_pop_clip();
}

void FinestraPrincipale::DisegnaOpzione(const Strato& s) {
    const Controllo& c = *s.controllo;
    const Rettangolo& r = s.posto;
    Riempi(r, c.BackColor);
    Fl_RGB_Image& tondo = Tondo(c.Value, c.Enabled);
    tondo.draw(r.x, r.y + (r.h - tondo.h()) / 2);
    ScegliCarattere(c.Font);
    fl_color(ColoreFl(c.Enabled ? c.ForeColor : TestoDisabilitato));
    int x = r.x + tondo.w() + 4;
    int y = r.y + (r.h - fl_height()) / 2;
    DisegnaRighe({c.Caption}, x, y, r.w - (x - r.x), Allineamento::Sinistra, c.Font.Underline);
}

void FinestraPrincipale::DisegnaElenco(const Strato& s) {
    const Controllo& c = *s.controllo;
    const Rettangolo& r = s.posto;
    Riempi(r, Bianco);
    fl_color(fl_rgb_color(130, 135, 144));
    fl_rect(r.x, r.y, r.w, r.h);
    ScegliCarattere(c.Font);
    fl_color(ColoreFl(c.ForeColor));
    DisegnaRighe(c.Elementi, r.x + 2, r.y + 1, r.w - 4, Allineamento::Sinistra, false);
}

// ---- The mouse ------------------------------------------------------------------

void FinestraPrincipale::MostraCursore(const Cursore& c) {
    if (c == cursore_) return;
    cursore_ = c;
    if (!c.immagine) cursor(FL_CURSOR_DEFAULT);
    else cursor(&Decodifica(*c.immagine), c.x, c.y);
}

int FinestraPrincipale::handle(int evento) {
    const int x = Fl::event_x(), y = Fl::event_y();
    switch (evento) {
    case FL_ENTER:
    case FL_MOVE:
        Ridipingi(comportamento_.Movimento(x, y));
        MostraCursore(comportamento_.CursoreIn(x, y));
        return 1;
    case FL_DRAG: Ridipingi(comportamento_.Movimento(x, y)); return 1;
    case FL_LEAVE: MostraCursore({}); return 1;
    case FL_PUSH:
        if (Fl::event_button() == FL_LEFT_MOUSE) comportamento_.Pressione(x, y);
        return 1;
    case FL_RELEASE:
        if (Fl::event_button() == FL_LEFT_MOUSE) Ridipingi(comportamento_.Rilascio(x, y));
        return 1;
    default: return Fl_Double_Window::handle(evento);
    }
}

}  // namespace noce::fltk
