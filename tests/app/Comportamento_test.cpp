// The window's behaviour as a view meets it, without a display: the mouse
// routed to the handlers, what is repainted, the timers armed.
#include <gtest/gtest.h>

#include "Finestra.h"
#include "app/ComportamentoFinestra.h"

namespace noce {

void PrintTo(const Chiamata& c, std::ostream* os) {
    *os << "handler " << static_cast<int>(c.gestore) << " index " << c.Index;
}

namespace {

// The view's timers, as a record of what the behaviour asked of them.
struct TimerRegistrati : TimerPeriodici {
    std::vector<std::string> chiamate;
    void Avvia(Orologio o, int ms) override { chiamate.push_back(Nome(o) + " " + std::to_string(ms)); }
    void Ferma(Orologio o) override { chiamate.push_back(Nome(o) + " off"); }
    static std::string Nome(Orologio o) { return o == Orologio::Ciclo ? "ciclo" : "scorrimento"; }
};

// The window after start-up, without administrator rights on NT 6 when
// `rifiutata`: the notice and its help label then cover the upper part.
class Comportamento : public ::testing::Test {
protected:
    void Avvia(bool rifiutata) {
        c.reset();
        f.reset();  // one drive at a time: each restores the environment it found
        f = std::make_unique<prova::Finestra>(posix::ImpostazioniMacchina{2, 6, 1, 7601, !rifiutata});
        ::testing::internal::CaptureStderr();
        f->Avvia();
        ::testing::internal::GetCapturedStderr();
        c = std::make_unique<ComportamentoFinestra>(*f->form, timer);
    }
    frmPrincipale& form() { return *f->form; }
    Chiamata Sotto(int x, int y) { return AlMovimento(form(), Geometria(form()).Bersaglio(x, y)); }
    Chiamata ClicIn(int x, int y) { return AlClic(form(), Geometria(form()).Bersaglio(x, y)); }

    TimerRegistrati timer;
    std::unique_ptr<prova::Finestra> f;
    std::unique_ptr<ComportamentoFinestra> c;
};

using G = Gestore;

TEST_F(Comportamento, EachPointReachesTheHandlerOfTheControlOnTop) {
    struct Caso {
        const char* dove;
        bool rifiutata;
        int x, y;
        Chiamata movimento;
        Gestore clic;
    };
    const std::vector<Caso> casi = {
        {"window background", false, 455, 150, {G::Form_MouseMove}, G::Nessuno},
        {"INSTALLA", false, 340, 172, {G::ImgTasto_MouseMove, 0}, G::ImgTasto_Click},
        {"ESCI", false, 420, 172, {G::ImgTasto_MouseMove, 1}, G::ImgTasto_Click},
        {"edition panel", false, 420, 140, {G::picVersione_MouseMove}, G::Nessuno},
        {"BASIC", false, 60, 128, {}, G::SceltaOpzione},
        {"an instruction line", false, 100, 20, {}, G::Nessuno},
        {"FULCRO over the background", false, 450, 50, {}, G::Nessuno},
        {"operating-system line", false, 60, 176, {}, G::Nessuno},
        {"hidden strip frame", false, 200, 205, {G::Form_MouseMove}, G::Nessuno},
        {"help label", true, 100, 110, {G::lblCliccaQui_MouseMove}, G::lblCliccaQui_Click},
        {"notice text", true, 100, 30, {G::lblInformazioni_MouseMove}, G::Nessuno},
        {"notice panel, over an instruction line", true, 300, 90, {G::picInformazioni_MouseMove}, G::Nessuno},
        {"ESCI below the notice", true, 420, 172, {G::ImgTasto_MouseMove, 1}, G::ImgTasto_Click},
        {"hidden INSTALLA", true, 340, 172, {G::Form_MouseMove}, G::Nessuno},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.dove);
        Avvia(k.rifiutata);
        EXPECT_EQ(Sotto(k.x, k.y), k.movimento);
        EXPECT_EQ(ClicIn(k.x, k.y).gestore, k.clic);
    }
}

TEST_F(Comportamento, DisabledEditionButtonsHandTheMouseToTheirPanel) {
    Avvia(false);
    for (auto& o : form().optVersione) o.Enabled = false;
    for (int x : {60, 250}) {
        SCOPED_TRACE(x);
        EXPECT_EQ(Sotto(x, 128), Chiamata{G::picVersione_MouseMove});
        EXPECT_EQ(ClicIn(x, 128), Chiamata{});
        c->Pressione(x, 128);
        c->Rilascio(x, 128);
        EXPECT_TRUE(form().optVersione[0].Value);
        EXPECT_FALSE(form().optVersione[1].Value);
    }
}

TEST_F(Comportamento, AClickIsAPressAndAReleaseOverTheSameControl) {
    Avvia(false);
    auto selezione = [&] { return std::pair{form().optVersione[0].Value, form().optVersione[1].Value}; };
    c->Pressione(250, 128);
    c->Rilascio(60, 128);  // released over the other button
    EXPECT_EQ(selezione(), std::pair(true, false));
    c->Rilascio(250, 128);  // a release without a press
    EXPECT_EQ(selezione(), std::pair(true, false));
    c->Pressione(250, 128);
    c->Rilascio(250, 128);
    EXPECT_EQ(selezione(), std::pair(false, true)) << "one group: choosing ESTESA clears BASIC";

    // While the button is held, the control pressed keeps the mouse.
    c->Pressione(340, 172);
    c->Movimento(455, 150);
    EXPECT_EQ(form().ImgTasto[0].Picture, form().PicImmTasto[1].Picture);
    c->Rilascio(455, 150);
    c->Movimento(455, 150);
    EXPECT_EQ(form().ImgTasto[0].Picture, form().PicImmTasto[0].Picture);
}

TEST_F(Comportamento, TheHandShowsOnlyOverTheHelpLabelOnceItWasHovered) {
    Avvia(true);
    EXPECT_EQ(c->CursoreIn(100, 110), Cursore{});
    c->Movimento(100, 110);
    EXPECT_EQ(c->CursoreIn(100, 110), (Cursore{form().picMano.Picture, 10, 1}));
    EXPECT_EQ(c->CursoreIn(100, 30), Cursore{});
}

TEST_F(Comportamento, OnlyWhatChangedIsRepainted) {
    Avvia(false);
    struct Caso {
        const char* cosa;
        std::function<void(frmPrincipale&)> cambia;
        std::vector<Rettangolo> danni;
    };
    const Rettangolo riga0{8, 8, 417, 25}, installa{304, 160, 73, 25};
    const Rettangolo barra{0, 192, 463, 32}, barraAlta{0, 100, 463, 33};  // the strip, taller, is cut to it
    const std::vector<Caso> casi = {
        {"nothing", [](frmPrincipale&) {}, {}},
        {"a caption", [](frmPrincipale& m) { m.lblScritta[0].Caption = "Attendere..."; }, {riga0, riga0}},
        {"a hidden control", [](frmPrincipale& m) { m.lblCliccaQui.Caption = "x"; }, {}},
        {"a face", [](frmPrincipale& m) { m.ImgTasto_MouseMove(0); }, {installa, installa}},
        {"the strip's bar shown", [](frmPrincipale& m) { m.picConteiner.Visible = true; }, {barra, barra}},
        {"the strip moving under it", [](frmPrincipale& m) { m.picInterno.Left += 60; }, {barra, barra}},
        {"the bar moved up", [](frmPrincipale& m) { m.picConteiner.Top = 1500; }, {barra, barraAlta, barra, barraAlta}},
        {"a button hidden", [](frmPrincipale& m) { m.ImgTasto[0].Visible = false; }, {installa}},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.cosa);
        k.cambia(form());
        Aggiornamento a = c->Aggiorna();
        EXPECT_EQ(a.danni, k.danni);
        EXPECT_FALSE(a.titolo);
        EXPECT_FALSE(a.tutto);
    }
    form().Caption = "nuovo";
    form().BackColor = Bianco;
    Aggiornamento a = c->Aggiorna();
    EXPECT_EQ(a.titolo, "nuovo");
    EXPECT_TRUE(a.tutto);
}

TEST_F(Comportamento, TimersFollowTheWindowAndTickWithoutBeingRestarted) {
    Avvia(false);
    struct Passo {
        const char* cosa;
        std::function<void()> azione;
        std::vector<std::string> chiamate;
    };
    auto& s = form().tmrScorrimento;
    const double inizio = form().picInterno.Left;
    const std::vector<Passo> passi = {
        {"both enabled", [&] { s.Enabled = form().TimerCiclo.Enabled = true; c->Aggiorna(); }, {"ciclo 2000", "scorrimento 25"}},
        {"nothing changed", [&] { c->Aggiorna(); }, {}},
        {"a tick", [&] { c->Scatto(Orologio::Scorrimento); }, {}},
        {"a new interval", [&] { s.Interval = 50; c->Aggiorna(); }, {"scorrimento off", "scorrimento 50"}},
        {"disabled before its tick", [&] { s.Enabled = false; c->Scatto(Orologio::Scorrimento); }, {"scorrimento off"}},
        {"a tick already on its way", [&] { c->Scatto(Orologio::Scorrimento); }, {}},
        {"the cycle disabled", [&] { form().TimerCiclo.Enabled = false; c->Aggiorna(); }, {"ciclo off"}},
    };
    for (const Passo& p : passi) {
        SCOPED_TRACE(p.cosa);
        timer.chiamate.clear();
        p.azione();
        EXPECT_EQ(timer.chiamate, p.chiamate);
    }
    EXPECT_EQ(form().picInterno.Left, inizio + 60) << "only the one tick of an enabled timer moved the strip";
}

}  // namespace
}  // namespace noce
