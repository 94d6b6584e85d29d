// The pictures compiled into the installer decode to what the window's
// design asks for: sizes, the button faces' frames, gradients and lettering,
// transparency of the icon and the hand, the strip's colours.
#include <gtest/gtest.h>

#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_JPEG_Image.H>
#include <FL/Fl_PNG_Image.H>

#include <memory>
#include <set>
#include <tuple>

#include "app/Immagini.h"

namespace noce {
namespace {

struct Pixel {
    int r, g, b, a;
};

class Decodificata {
public:
    explicit Decodificata(const Immagine& im) {
        if (im.formato == Immagine::Formato::PNG)
            img_ = std::make_unique<Fl_PNG_Image>(im.nome, im.dati, static_cast<int>(im.dimensione));
        else if (im.formato == Immagine::Formato::JPEG)
            img_ = std::make_unique<Fl_JPEG_Image>(im.nome, im.dati);
    }
    bool Valida() const { return img_ && !img_->fail() && img_->count() == 1; }
    int w() const { return img_->w(); }
    int h() const { return img_->h(); }
    int d() const { return img_->d(); }
    Pixel At(int x, int y) const {
        int ld = img_->ld() ? img_->ld() : w() * d();
        const unsigned char* p = reinterpret_cast<const unsigned char*>(img_->data()[0]) + y * ld + x * d();
        return {p[0], p[d() > 2 ? 1 : 0], p[d() > 2 ? 2 : 0], d() == 4 ? p[3] : 255};
    }

private:
    std::unique_ptr<Fl_RGB_Image> img_;
};

bool Uguale(Pixel p, int r, int g, int b) { return p.r == r && p.g == g && p.b == b; }

TEST(Images, EveryPictureDecodesAtItsSize) {
    const std::tuple<const Immagine*, int, int> tutte[] = {
        {&immagini::Icona16(), 16, 16},
        {&immagini::Icona32(), 32, 32},
        {&immagini::Mano(), 32, 32},
        {&immagini::TastoInstalla(), 73, 25},
        {&immagini::TastoInstallaAcceso(), 73, 25},
        {&immagini::TastoEsci(), 73, 25},
        {&immagini::TastoEsciAcceso(), 73, 25},
        {&immagini::Striscia(), 1386, 39},
    };
    for (auto [im, w, h] : tutte) {
        SCOPED_TRACE(im->nome);
        EXPECT_EQ(im->larghezza, w);
        EXPECT_EQ(im->altezza, h);
        Decodificata d(*im);
        ASSERT_TRUE(d.Valida());
        EXPECT_EQ(d.w(), w);
        EXPECT_EQ(d.h(), h);
    }
}

TEST(Images, ButtonFaces) {
    struct Caso {
        const Immagine* faccia;
        Pixel cornice, alto, basso;
    };
    const Pixel grigio{61, 61, 67, 255}, navy{0, 0, 128, 255};
    const Caso casi[] = {
        {&immagini::TastoInstalla(), grigio, {240, 241, 242, 255}, {200, 202, 204, 255}},
        {&immagini::TastoEsci(), grigio, {240, 241, 242, 255}, {200, 202, 204, 255}},
        {&immagini::TastoInstallaAcceso(), navy, {227, 247, 255, 255}, {173, 214, 232, 255}},
        {&immagini::TastoEsciAcceso(), navy, {227, 247, 255, 255}, {173, 214, 232, 255}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.faccia->nome);
        Decodificata d(*c.faccia);
        ASSERT_TRUE(d.Valida());
        ASSERT_EQ(d.d(), 3);
        // the one-pixel frame, all round
        for (int x = 0; x < 73; ++x)
            for (int y : {0, 24}) ASSERT_TRUE(Uguale(d.At(x, y), c.cornice.r, c.cornice.g, c.cornice.b)) << x << "," << y;
        for (int y = 0; y < 25; ++y)
            for (int x : {0, 72}) ASSERT_TRUE(Uguale(d.At(x, y), c.cornice.r, c.cornice.g, c.cornice.b)) << x << "," << y;
        EXPECT_TRUE(Uguale(d.At(1, 1), c.alto.r, c.alto.g, c.alto.b));
        EXPECT_TRUE(Uguale(d.At(1, 23), c.basso.r, c.basso.g, c.basso.b));
        // the word: navy, rows 6 to 14 exactly, centred
        int primaRiga = 99, ultimaRiga = -1, primaColonna = 99, ultimaColonna = -1;
        for (int y = 1; y < 24; ++y)
            for (int x = 1; x < 72; ++x)
                if (Uguale(d.At(x, y), 0, 0, 128)) {
                    primaRiga = std::min(primaRiga, y), ultimaRiga = std::max(ultimaRiga, y);
                    primaColonna = std::min(primaColonna, x), ultimaColonna = std::max(ultimaColonna, x);
                }
        EXPECT_EQ(primaRiga, 6);
        EXPECT_EQ(ultimaRiga, 14);
        EXPECT_LE(std::abs(primaColonna - (72 - ultimaColonna)), 1) << primaColonna << ".." << ultimaColonna;
    }
}

TEST(Images, IconAndHandHaveTransparencyAndCountedColours) {
    struct Caso {
        const Immagine* im;
        std::size_t colori;  // at most, transparency aside
    };
    for (const Caso& c : {Caso{&immagini::Icona16(), 256}, Caso{&immagini::Icona32(), 256}, Caso{&immagini::Mano(), 16}}) {
        SCOPED_TRACE(c.im->nome);
        Decodificata d(*c.im);
        ASSERT_TRUE(d.Valida());
        ASSERT_EQ(d.d(), 4) << "no transparency mask";
        std::set<std::tuple<int, int, int>> colori;
        int trasparenti = 0, opachi = 0;
        for (int y = 0; y < d.h(); ++y)
            for (int x = 0; x < d.w(); ++x) {
                Pixel p = d.At(x, y);
                if (p.a == 0) ++trasparenti;
                else if (p.a == 255) ++opachi, colori.insert({p.r, p.g, p.b});
                else ADD_FAILURE() << "partial transparency at " << x << "," << y;
            }
        EXPECT_GT(trasparenti, d.w() * d.h() / 4);
        EXPECT_GT(opachi, d.w() * d.h() / 8);
        EXPECT_LT(colori.size(), c.colori);
    }
    // The hand: white inside a black outline; the fingertip at the top.
    Decodificata mano(immagini::Mano());
    ASSERT_TRUE(mano.Valida());
    EXPECT_EQ(mano.At(10, 1).a, 255);
    EXPECT_TRUE(Uguale(mano.At(10, 1), 0, 0, 0));
    EXPECT_TRUE(Uguale(mano.At(10, 4), 255, 255, 255));
    // The icon: blue chevrons.
    Decodificata icona(immagini::Icona32());
    int blu = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (Pixel p = icona.At(x, y); p.a && p.b > p.r + 60 && p.b > p.g + 20) ++blu;
    EXPECT_GT(blu, 150);
}

TEST(Images, BlueStripWithGlow) {
    Decodificata d(immagini::Striscia());
    ASSERT_TRUE(d.Valida());
    auto luce = [&](int x, int y) {
        Pixel p = d.At(x, y);
        return p.r + p.g + p.b;
    };
    for (int x : {0, 300, 693, 1000, 1385})
        for (int y : {0, 19, 38}) {
            Pixel p = d.At(x, y);
            EXPECT_GT(p.b, p.r + 30) << x << "," << y;  // blue all along
            EXPECT_GT(p.b, p.g + 30) << x << "," << y;
        }
    EXPECT_GT(luce(693, 19), luce(693, 2) + 100);  // the glow is in the middle row
    EXPECT_GT(luce(693, 19), luce(20, 19) + 100);  // and in the middle of the strip
}

}  // namespace
}  // namespace noce
