// The message box window.
#include "RiquadroMessaggio.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>

#include "Decorazioni.h"
#include "Disegno.h"
#include "app/Testo.h"

namespace noce::fltk {

namespace {

// The box's text face: the system's message font at 9 points.
const Carattere CarattereRiquadro{"Segoe UI", 9, false, false};

constexpr int Margine = 20, LatoIcona = 32, AltezzaFondo = 41, LarghezzaTesto = 420;
constexpr int LarghezzaPulsante = 75, AltezzaPulsante = 23, Spazio = 8;

// A 32-pixel disc, smooth, lighter at the top; the stop sign also carries
// its white cross here, the other two get their letter drawn over it.
Fl_RGB_Image& Disco(Icona icona) {
    constexpr int L = LatoIcona;
    static std::array<std::array<unsigned char, L * L * 4>, 4> dati;
    static std::array<std::unique_ptr<Fl_RGB_Image>, 4> pronte;
    auto k = static_cast<std::size_t>(icona);
    if (pronte[k]) return *pronte[k];
    const bool stop = icona == Icona::Stop;
    const Colore alto = stop ? Colore{236, 72, 60} : Colore{86, 152, 236};
    const Colore basso = stop ? Colore{178, 18, 18} : Colore{24, 84, 184};
    const Colore bordo = stop ? Colore{128, 16, 16} : Colore{18, 58, 136};
    DipingiDisco(dati[k].data(), L, 15.0, [&](double px, double py, double d) {
        double dx = px - L / 2.0, dy = py - L / 2.0;
        double t = py / L;
        Colore c{static_cast<std::uint8_t>(alto.r + (basso.r - alto.r) * t),
                 static_cast<std::uint8_t>(alto.g + (basso.g - alto.g) * t),
                 static_cast<std::uint8_t>(alto.b + (basso.b - alto.b) * t)};
        if (d > 14.0) c = bordo;
        // The cross: near either diagonal, inside a square of 16.
        if (stop && std::abs(dx) < 8 && std::abs(dy) < 8 && (std::abs(dx - dy) < 2.6 || std::abs(dx + dy) < 2.6))
            c = Bianco;
        return c;
    });
    pronte[k] = std::make_unique<Fl_RGB_Image>(dati[k].data(), L, L, 4);
    return *pronte[k];
}

class Pulsante : public Fl_Button {
public:
    Pulsante(int x, int y, int w, int h, const char* testo) : Fl_Button(x, y, w, h, testo) {}

    void draw() override {
        const bool fuoco = Fl::focus() == this;
        const bool giu = value() != 0;
        for (int i = 1; i < h() - 1; ++i) {
            double t = static_cast<double>(i) / h();
            int v = giu ? static_cast<int>(218 - 20 * t) : static_cast<int>(244 - 36 * t);
            fl_color(fl_rgb_color(static_cast<uchar>(v), static_cast<uchar>(v), static_cast<uchar>(v + (giu ? 8 : 2))));
            fl_xyline(x() + 1, y() + i, x() + w() - 2);
        }
        fl_color(fuoco ? fl_rgb_color(60, 127, 177) : fl_rgb_color(112, 112, 112));
        fl_rect(x(), y(), w(), h());
        ScegliCarattere(CarattereRiquadro);
        fl_color(FL_BLACK);
        fl_draw(label(), x(), y(), w(), h(), FL_ALIGN_CENTER);
        if (fuoco) {
            fl_line_style(FL_DOT);
            fl_color(FL_BLACK);
            fl_rect(x() + 3, y() + 3, w() - 6, h() - 6);
            fl_line_style(0);
        }
    }
};

class Riquadro : public Fl_Double_Window {
public:
    Riquadro(const std::string& testo, Pulsanti pulsanti, Icona icona, const std::string& titolo)
        : Fl_Double_Window(100, 100), icona_(icona), soloOK_(pulsanti == Pulsanti::OK) {
        copy_label(titolo.c_str());
        ScegliCarattere(CarattereRiquadro);
        righe_ = RigheTesto(testo, LarghezzaTesto, LarghezzaFl);
        int largo = 0;
        for (auto& r : righe_) largo = std::max(largo, static_cast<int>(std::lround(fl_width(r.c_str()))));
        const int alto = static_cast<int>(righe_.size()) * fl_height();
        xTesto_ = Margine + (icona_ != Icona::Nessuna ? LatoIcona + 12 : 0);
        const int altoContenuto = std::max(icona_ != Icona::Nessuna ? LatoIcona : 0, alto);
        yTesto_ = Margine + (altoContenuto - alto) / 2;
        yIcona_ = Margine + (altoContenuto - LatoIcona) / 2;

        std::vector<const char*> nomi = soloOK_ ? std::vector<const char*>{"OK"} : std::vector<const char*>{"Sì", "No"};
        const int larghiPulsanti =
            static_cast<int>(nomi.size()) * LarghezzaPulsante + (static_cast<int>(nomi.size()) - 1) * Spazio;
        const int larghezza = std::max({xTesto_ + largo + Margine, larghiPulsanti + 2 * 12,
                                        static_cast<int>(fl_width(titolo.c_str())) + 90, 180});
        fondo_ = Margine + altoContenuto + Margine;
        size(larghezza, fondo_ + AltezzaFondo);

        begin();
        int x = larghezza - 12 - larghiPulsanti;
        for (std::size_t i = 0; i < nomi.size(); ++i) {
            auto* p = new Pulsante(x, fondo_ + (AltezzaFondo - AltezzaPulsante) / 2, LarghezzaPulsante,
                                   AltezzaPulsante, nomi[i]);
            p->callback(Premuto, this);
            pulsanti_.push_back(p);
            x += LarghezzaPulsante + Spazio;
        }
        end();
        set_modal();
        callback(Chiudi, this);
    }

    int Risposta() const { return risposta_; }

    void Mostra(Fl_Window* sopra) {
        if (sopra && sopra->shown())
            position(sopra->x() + (sopra->w() - w()) / 2, sopra->y() + (sopra->h() - h()) / 2);
        else
            position((Fl::w() - w()) / 2, (Fl::h() - h()) / 2);
        show();
#if NOCE_FLTK_X11
        // A Yes/No question must be answered: no close box for it.
        SoloChiusura(*this, soloOK_);
#endif
        pulsanti_.front()->take_focus();
    }

    void draw() override {
        fl_color(FL_WHITE);
        fl_rectf(0, 0, w(), fondo_);
        fl_color(fl_rgb_color(240, 240, 240));
        fl_rectf(0, fondo_, w(), h() - fondo_);
        fl_color(fl_rgb_color(223, 223, 223));
        fl_xyline(0, fondo_, w() - 1);
        if (icona_ != Icona::Nessuna) {
            Disco(icona_).draw(Margine, yIcona_);
            if (icona_ != Icona::Stop) {
                ScegliCarattere({"Times New Roman", 18, true, false});
                fl_color(FL_WHITE);
                fl_draw(icona_ == Icona::Domanda ? "?" : "i", Margine, yIcona_, LatoIcona, LatoIcona, FL_ALIGN_CENTER);
            }
        }
        ScegliCarattere(CarattereRiquadro);
        fl_color(FL_BLACK);
        DisegnaRighe(righe_, xTesto_, yTesto_, w() - xTesto_ - Margine, Allineamento::Sinistra, false);
        draw_children();
    }

    int handle(int evento) override {
        if (evento == FL_KEYBOARD) {
            int tasto = Fl::event_key();
            if (tasto == FL_Enter || tasto == FL_KP_Enter) {
                Premi(Focalizzato());
                return 1;
            }
            if (tasto == FL_Left || tasto == FL_Right) {
                int i = Indice(Focalizzato()) + (tasto == FL_Right ? 1 : -1);
                int n = static_cast<int>(pulsanti_.size());
                pulsanti_[static_cast<std::size_t>((i + n) % n)]->take_focus();
                return 1;
            }
        }
        return Fl_Double_Window::handle(evento);
    }

private:
    Pulsante* Focalizzato() const {
        for (auto* p : pulsanti_)
            if (Fl::focus() == p) return p;
        return pulsanti_.front();
    }
    int Indice(const Pulsante* p) const {
        for (std::size_t i = 0; i < pulsanti_.size(); ++i)
            if (pulsanti_[i] == p) return static_cast<int>(i);
        return 0;
    }
    void Premi(const Pulsante* p) {
        if (soloOK_) risposta_ = vbOK;
        else risposta_ = Indice(p) == 0 ? vbYes : vbNo;
        hide();
    }
    static void Premuto(Fl_Widget* w, void* dati) {
        auto* r = static_cast<Riquadro*>(dati);
        r->Premi(static_cast<Pulsante*>(w));
    }
    // The close box and Escape: an OK box answers OK; a question has
    // neither and stays open.
    static void Chiudi(Fl_Widget*, void* dati) {
        auto* r = static_cast<Riquadro*>(dati);
        if (r->soloOK_) r->Premi(r->pulsanti_.front());
    }

    Icona icona_;
    bool soloOK_;
    std::vector<std::string> righe_;
    std::vector<Pulsante*> pulsanti_;
    int xTesto_ = 0, yTesto_ = 0, yIcona_ = 0, fondo_ = 0;
    int risposta_ = vbOK;
};

}  // namespace

int MostraRiquadro(const std::string& testo, Pulsanti pulsanti, Icona icona, const std::string& titolo,
                   Fl_Window* sopra) {
    Riquadro r(testo, pulsanti, icona, titolo);
    r.Mostra(sopra);
    // Our own loop, not Fl::run: timers and repaints go on, and a handler
    // run from here may open another box over this one.
    while (r.shown()) Fl::wait();
    return r.Risposta();
}

}  // namespace noce::fltk
