// Fonts, pictures and label text for the FLTK view.
#include "Disegno.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include <FL/Fl.H>
#include <FL/Fl_JPEG_Image.H>
#include <FL/Fl_PNG_Image.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>

namespace noce::fltk {

Fl_Color ColoreFl(noce::Colore c) { return fl_rgb_color(c.r, c.g, c.b); }

namespace {

// Our faces, registered once after the toolkit's own.
enum Faccia { Sans, SansGrassetto, Serif, SerifGrassetto, NumeroFacce };

Fl_Font Registra() {
    static const Fl_Font base = [] {
        // The first character is the style for the Xft back end: ' ' plain, 'B' bold.
        const char* nomi[NumeroFacce] = {" Liberation Sans", "BLiberation Sans", " Liberation Serif",
                                         "BLiberation Serif"};
        Fl_Font primo = FL_FREE_FONT;
        for (int i = 0; i < NumeroFacce; ++i) Fl::set_font(static_cast<Fl_Font>(primo + i), nomi[i]);
        return primo;
    }();
    return base;
}

bool Serifato(const std::string& nome) {
    // Only Times New Roman among the design's fonts has serifs.
    return nome.find("Times") != std::string::npos;
}

}  // namespace

void ScegliCarattere(const Carattere& c) {
    int faccia = Serifato(c.Name) ? (c.Bold ? SerifGrassetto : Serif) : (c.Bold ? SansGrassetto : Sans);
    int pixel = static_cast<int>(std::lround(c.Size * 96.0 / 72.0));
    fl_font(static_cast<Fl_Font>(Registra() + faccia), pixel);
}

Fl_RGB_Image& Decodifica(const Immagine& im) {
    static std::map<const Immagine*, std::unique_ptr<Fl_RGB_Image>> gia;
    auto& posto = gia[&im];
    if (posto) return *posto;
    switch (im.formato) {
    case Immagine::Formato::RGB: posto = std::make_unique<Fl_RGB_Image>(im.dati, im.larghezza, im.altezza, 3); break;
    case Immagine::Formato::RGBA: posto = std::make_unique<Fl_RGB_Image>(im.dati, im.larghezza, im.altezza, 4); break;
    case Immagine::Formato::PNG:
        posto = std::make_unique<Fl_PNG_Image>(im.nome, im.dati, static_cast<int>(im.dimensione));
        break;
    case Immagine::Formato::JPEG: posto = std::make_unique<Fl_JPEG_Image>(im.nome, im.dati); break;
    }
    if (posto->fail() || posto->w() != im.larghezza || posto->h() != im.altezza) {
        std::fprintf(stderr, "NoceInstallazione: the picture %s is damaged (%dx%d, expected %dx%d)\n", im.nome,
                     posto->w(), posto->h(), im.larghezza, im.altezza);
        std::exit(1);
    }
    return *posto;
}

double LarghezzaFl(std::string_view testo) { return fl_width(testo.data(), static_cast<int>(testo.size())); }

void DisegnaRighe(const std::vector<std::string>& righe, int x, int y, int w, Allineamento a, bool sottolineato) {
    const int alto = fl_height();
    const int base = alto - fl_descent();
    for (const auto& r : righe) {
        int largo = static_cast<int>(std::lround(fl_width(r.c_str())));
        int sx = a == Allineamento::Centro ? x + (w - largo) / 2 : x;
        fl_draw(r.c_str(), sx, y + base);
        if (sottolineato && largo > 0) fl_xyline(sx, y + base + 1, sx + largo - 1);
        y += alto;
    }
}

void DipingiDisco(unsigned char* rgba, int lato, double raggio,
                  const std::function<Colore(double px, double py, double d)>& colore) {
    constexpr int N = 4;  // samples per pixel side
    for (int y = 0; y < lato; ++y)
        for (int x = 0; x < lato; ++x) {
            double somma[3] = {0, 0, 0};
            int coperti = 0;
            for (int sy = 0; sy < N; ++sy)
                for (int sx = 0; sx < N; ++sx) {
                    double px = x + (sx + 0.5) / N, py = y + (sy + 0.5) / N;
                    double dx = px - lato / 2.0, dy = py - lato / 2.0;
                    double d = std::sqrt(dx * dx + dy * dy);
                    if (d > raggio) continue;
                    Colore c = colore(px, py, d);
                    somma[0] += c.r, somma[1] += c.g, somma[2] += c.b;
                    ++coperti;
                }
            unsigned char* p = rgba + static_cast<std::size_t>((y * lato + x) * 4);
            for (int i = 0; i < 3; ++i) p[i] = static_cast<unsigned char>(coperti ? somma[i] / coperti : 0);
            p[3] = static_cast<unsigned char>(255 * coperti / (N * N));
        }
}

}  // namespace noce::fltk
