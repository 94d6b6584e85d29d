// The buttons, their hover faces, the help link and the scrolling strip.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "Finestra.h"

namespace noce {
namespace {

namespace fs = std::filesystem;

class Tasti : public ::testing::Test {
protected:
    void Avvia(const posix::ImpostazioniMacchina& m = {}) {
        f.reset();  // one drive at a time: each restores the environment it found
        f = std::make_unique<prova::Finestra>(m);
        ::testing::internal::CaptureStderr();
        f->Avvia();
        ::testing::internal::GetCapturedStderr();
    }
    frmPrincipale& form() { return *f->form; }
    std::unique_ptr<prova::Finestra> f;
};

TEST_F(Tasti, EsciLogsOnceAndEndsInEveryStateWhereItShows) {
    struct Caso {
        const char* nome;
        posix::ImpostazioniMacchina macchina;
        bool dopoInstalla;
    };
    for (const Caso& c : std::vector<Caso>{{"ready", {}, false},
                                           {"refused", {2, 6, 1, 7601, false}, false},
                                           {"before the first cycle tick", {}, true}}) {
        SCOPED_TRACE(c.nome);
        Avvia(c.macchina);
        std::vector<std::string> attesi = {"Inizio procedura"};
        if (c.dopoInstalla) {
            // The downloader reappears while the bootstrap starts; keeping
            // it avoids the request.
            f->ui.suDoEvents = [this] { f->drive.Scrivi("Setup/scaricatore.exe", "x"); };
            f->ui.risposte = {vbNo};
            form().ImgTasto_Click(0);
            f->ui.suDoEvents = nullptr;
            attesi.push_back("Premuto 'Installa'");
        }
        attesi.push_back("Premuto 'Esci'");
        EXPECT_THROW(form().ImgTasto_Click(1), prova::FineProgramma);
        EXPECT_TRUE(f->ui.terminato);
        EXPECT_EQ(f->Log(), attesi);
    }
}

TEST_F(Tasti, InstallaClearsLeftoversAndFetchesTheDownloader) {
    Avvia();
    for (const char* n : {"LogScarico.txt", "lista.txt", "Scaricatore.exe", "unzip.exe", "Transito.zip"})
        f->drive.Scrivi(std::string("Setup/") + n, "x");
    int ticchiDurante = 0;
    bool scaricatoreRimosso = false;
    f->ui.suDoEvents = [&] {
        // The old downloader went with the other leftovers, before the
        // bootstrap looked for one.
        scaricatoreRimosso = !f->drive.Esiste("Setup/Scaricatore.exe");
        // The bootstrap lets events run once: no cycle tick may start yet,
        // even though the cycle timer is already enabled.
        EXPECT_TRUE(form().TimerCiclo.Enabled);
        EXPECT_EQ(form().lblScritta[1].Caption, "Scarico componente");
        form().TickCiclo();
        ticchiDurante += form().FaseCiclo;
        f->drive.Scrivi("Setup/scaricatore.exe", "gia' qui");
    };
    f->ui.risposte = {vbNo};
    form().ImgTasto_Click(0);

    for (const char* n : {"LogScarico.txt", "lista.txt", "unzip.exe"}) EXPECT_FALSE(f->drive.Esiste(std::string("Setup/") + n)) << n;
    EXPECT_TRUE(f->drive.Esiste("Setup/Transito.zip"));
    EXPECT_TRUE(scaricatoreRimosso);
    EXPECT_EQ(f->drive.Leggi("Setup/scaricatore.exe"), "gia' qui");
    ASSERT_EQ(f->ui.riquadri.size(), 1u);
    EXPECT_EQ(f->ui.riquadri[0].testo, "Scaricatore già presente, lo scarico di nuovo?");
    EXPECT_EQ(f->ui.riquadri[0].titolo, "NoceInstallazione");
    EXPECT_EQ(ticchiDurante, 0);
    EXPECT_EQ(form().FaseCiclo, 0);
    EXPECT_TRUE(form().tmrScorrimento.Enabled);
    EXPECT_TRUE(form().picConteiner.Visible);
    EXPECT_EQ(form().lblScritta[0].Caption, "Attendere...");
    EXPECT_EQ(form().lblScritta[1].Caption, "Scarico lista");
    EXPECT_FALSE(form().lblScritta[2].Visible);
    // The buttons stay until the cycle's first tick.
    EXPECT_TRUE(form().ImgTasto[0].Visible);
    EXPECT_TRUE(form().ImgTasto[1].Visible);
    EXPECT_EQ(f->Log(), (std::vector<std::string>{"Inizio procedura", "Premuto 'Installa'"}));
}

TEST_F(Tasti, AFailureNoTrapCatchesIsReportedAndEnds) {
    Avvia({2, 6, 1, 7601, false});
    // Without a URL handler the help link cannot start; the runtime reports
    // it rather than letting it pass unseen.
    fs::remove(f->drive.Host("Windows/System32/rundll32.exe"));
    EXPECT_THROW(form().Evento([&] { form().lblCliccaQui_Click(); }), prova::FineProgramma);
    ASSERT_EQ(f->ui.riquadri.size(), 1u);
    EXPECT_EQ(f->ui.riquadri[0].testo, "Errore di run-time '53':\r\n\r\nImpossibile trovare il file");
    EXPECT_EQ(f->ui.riquadri[0].icona, Icona::Stop);
    EXPECT_EQ(f->ui.riquadri[0].titolo, "NoceInstallazione");
}

TEST_F(Tasti, HoverFaces) {
    Avvia();
    auto& fm = form();
    const Immagine* normaleI = fm.PicImmTasto[0].Picture;
    const Immagine* accesaI = fm.PicImmTasto[1].Picture;
    const Immagine* normaleE = fm.PicImmTasto[2].Picture;
    const Immagine* accesaE = fm.PicImmTasto[3].Picture;
    struct Passo {
        const char* evento;
        std::function<void()> azione;
        const Immagine* installa;
        const Immagine* esci;
        bool sottolineato;
    };
    const std::vector<Passo> passi = {
        {"over INSTALLA", [&] { fm.ImgTasto_MouseMove(0); }, accesaI, normaleE, false},
        {"straight onto ESCI", [&] { fm.ImgTasto_MouseMove(1); }, accesaI, accesaE, false},
        {"over the help label", [&] { fm.lblCliccaQui_MouseMove(); }, accesaI, accesaE, true},
        {"over the window", [&] { fm.Form_MouseMove(); }, normaleI, normaleE, true},
        {"over INSTALLA again", [&] { fm.ImgTasto_MouseMove(0); }, accesaI, normaleE, true},
        {"over the edition panel", [&] { fm.picVersione_MouseMove(); }, normaleI, normaleE, false},
        {"ESCI, then the notice", [&] { fm.ImgTasto_MouseMove(1); fm.lblCliccaQui_MouseMove(); fm.picInformazioni_MouseMove(); }, normaleI, normaleE, false},
        {"ESCI, then the notice text", [&] { fm.ImgTasto_MouseMove(1); fm.lblInformazioni_MouseMove(); }, normaleI, normaleE, false},
    };
    for (const auto& p : passi) {
        SCOPED_TRACE(p.evento);
        p.azione();
        EXPECT_EQ(fm.ImgTasto[0].Picture, p.installa);
        EXPECT_EQ(fm.ImgTasto[1].Picture, p.esci);
        EXPECT_EQ(fm.lblCliccaQui.Font.Underline, p.sottolineato);
    }
    EXPECT_EQ(fm.lblCliccaQui.MousePointer, Puntatore::Personalizzato);
    EXPECT_EQ(fm.lblCliccaQui.MouseIcon, fm.picMano.Picture);
}

TEST_F(Tasti, HelpLinkStartsTheUrlHandlerWithoutWaiting) {
    Avvia({2, 6, 1, 7601, false});
    // A URL handler in the installer's folder is found before the system's.
    std::string registro = f->drive.Host("Setup/rundll32.args");
    f->drive.Scrivi("Setup/rundll32.exe", "#!/bin/sh\nsleep 1\nprintf '%s\\n' \"$@\" > '" + registro + "'\n");
    auto prima = std::chrono::steady_clock::now();
    form().lblCliccaQui_Click();
    EXPECT_LT(std::chrono::steady_clock::now() - prima, std::chrono::milliseconds(800));
    for (int i = 0; i < 100 && !f->drive.Esiste("Setup/rundll32.args"); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(f->drive.Leggi("Setup/rundll32.args"),
              "url.dll,FileProtocolHandler\nhttp://download.noce.example/guida-in-linea/video/win7_installazione_amministratore.php\n");
}

TEST_F(Tasti, StripMovesFourPixelsAndWrapsOnlyPastZero) {
    Avvia();
    auto& fm = form();
    const double inizio = 6975 - 1386 * 15;
    struct Caso {
        double prima, dopo;
    };
    const std::vector<Caso> casi = {
        {inizio, inizio + 60},
        {-60, 0},      // exactly 0 stays for that tick
        {0, inizio},   // past 0 it is back at the start within the same tick
        {-15, inizio},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.prima);
        fm.picInterno.Left = c.prima;
        fm.tmrScorrimento_Timer();
        EXPECT_EQ(fm.picInterno.Left, c.dopo);
    }
    // One cycle is 231 ticks, and the strip always covers the whole bar.
    fm.picInterno.Left = inizio;
    for (int i = 1; i <= 231; ++i) {
        fm.tmrScorrimento_Timer();
        ASSERT_LE(fm.picInterno.Left, 0);
        ASSERT_GE(fm.picInterno.Left + fm.picInterno.Width, fm.picConteiner.Width);
        if (i < 231) {
            ASSERT_EQ(fm.picInterno.Left, inizio + 60.0 * i);
        }
    }
    EXPECT_EQ(fm.picInterno.Left, inizio);
}

TEST_F(Tasti, SecondInstallaLeavesTheRunningStripWhereItIs) {
    Avvia();
    f->ui.suDoEvents = [this] { f->drive.Scrivi("Setup/scaricatore.exe", "x"); };
    f->ui.risposte = {vbNo, vbNo};
    form().ImgTasto_Click(0);
    form().picInterno.Left = -600;
    form().ImgTasto_Click(0);
    EXPECT_EQ(form().picInterno.Left, -600);
    EXPECT_EQ(form().FaseCiclo, 0);
}

TEST_F(Tasti, ScrollTicksNeverOverlap) {
    Avvia();
    form().tmrScorrimento.Enabled = true;
    int annidati = 0;
    f->ui.suDoEvents = [&] {
        ++annidati;
        form().TickScorrimento();  // a tick arriving while one runs
    };
    double prima = form().picInterno.Left;
    form().TickScorrimento();
    EXPECT_EQ(annidati, 1);
    EXPECT_EQ(form().picInterno.Left, prima + 60);
}

}  // namespace
}  // namespace noce
