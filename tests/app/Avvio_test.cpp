// Start-up: the log, the working folder, the caption, the system line and
// the notice shown without administrator rights.
#include <gtest/gtest.h>

#include <filesystem>

#include "Finestra.h"

namespace noce {
namespace {

namespace fs = std::filesystem;

TEST(Avvio, FreshFolderAndSecondStart) {
    prova::Finestra f;
    ::testing::internal::CaptureStderr();
    f.Avvia();
    std::string primi = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(f.Log(), std::vector<std::string>{"Inizio procedura"});
    // The folder records come before there is a log; they never reach it.
    EXPECT_NE(primi.find("|Nocedir:c:\r\n"), std::string::npos);
    EXPECT_EQ(DirFiles, "C:\\Setup\\files");
    EXPECT_EQ(f.form->Caption, "NOCE Installazione 3.4");
    EXPECT_FALSE(f.drive.Esiste("logInstallazione.txt"));

    // A second start empties the log again and leaves the folder as it is.
    f.drive.Scrivi("Setup/files/archivio.dat", "resta");
    ScriviLog("Premuto 'Installa'");
    prova::InterfacciaDiProva ui2;
    frmPrincipale seconda(ui2);
    ::testing::internal::CaptureStderr();
    seconda.Form_Load();
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(f.Log(), std::vector<std::string>{"Inizio procedura"});
    EXPECT_EQ(f.drive.Leggi("Setup/files/archivio.dat"), "resta");
}

TEST(Avvio, SystemLineByPlatform) {
    struct Caso {
        posix::ImpostazioniMacchina macchina;
        const char* riga;
    };
    const std::vector<Caso> casi = {
        {{2, 6, 1, 7601, true}, " Windows 6.1  - NT"},
        {{1, 4, 10, 2222, true}, " Windows 4.10  - 95"},
        {{3, 3, 10, 0, true}, " Windows 3.10 SO"},
        {{2, 5, 1, 2600, true}, " Windows 5.1  - NT"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.riga);
        prova::Finestra f(c.macchina);
        ::testing::internal::CaptureStderr();
        f.Avvia();
        ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(f.form->lblSO.Caption, c.riga);
    }
}

TEST(Avvio, WithAndWithoutRights) {
    struct Caso {
        const char* nome;
        posix::ImpostazioniMacchina macchina;
        bool avviso, installa, aiuto;
    };
    const std::vector<Caso> casi = {
        {"administrator", {2, 6, 1, 7601, true}, false, true, true},
        {"no rights on NT 6", {2, 6, 1, 7601, false}, true, false, true},
        {"no rights on NT 5", {2, 5, 1, 2600, false}, true, false, false},
        {"no rights on the 95 family", {1, 4, 10, 2222, false}, true, false, false},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        prova::Finestra f(c.macchina);
        ::testing::internal::CaptureStderr();
        f.Avvia();
        ::testing::internal::GetCapturedStderr();
        auto& form = *f.form;
        EXPECT_EQ(form.picInformazioni.Visible, c.avviso);
        EXPECT_EQ(form.ImgTasto[0].Visible, c.installa);
        EXPECT_TRUE(form.ImgTasto[1].Visible);
        EXPECT_TRUE(form.lblSO.Visible);
        if (c.avviso) {
            EXPECT_EQ(form.lblInformazioni.Caption, "Il programma di installazione\r\ndeve essere avviato come amministratore.");
            EXPECT_EQ(form.lblCliccaQui.Visible, c.aiuto);
        }
        // The notice covers the window down to the buttons, and nothing
        // about the rights is logged or asked.
        EXPECT_EQ(form.picInformazioni.Left, 0);
        EXPECT_EQ(form.picInformazioni.Top, 0);
        EXPECT_EQ(form.picInformazioni.Width, form.Width);
        EXPECT_EQ(form.picInformazioni.Height, form.ImgTasto[1].Top);
        EXPECT_EQ(form.lblInformazioni.Width, form.Width - 240);
        EXPECT_EQ(f.Log(), std::vector<std::string>{"Inizio procedura"});
        EXPECT_TRUE(f.ui.riquadri.empty());
    }
}

TEST(Avvio, ButtonsStripAndTimers) {
    prova::Finestra f;
    ::testing::internal::CaptureStderr();
    f.Avvia();
    ::testing::internal::GetCapturedStderr();
    auto& form = *f.form;
    EXPECT_EQ(form.ImgTasto[0].Picture, form.PicImmTasto[0].Picture);
    EXPECT_EQ(form.ImgTasto[1].Picture, form.PicImmTasto[2].Picture);
    // An image control takes its picture's size.
    EXPECT_EQ(form.ImgTasto[0].Width, 73 * 15);
    EXPECT_EQ(form.ImgTasto[0].Height, 25 * 15);
    EXPECT_EQ(form.picInterno.Width, 1386 * 15);
    EXPECT_EQ(form.picInterno.Left, 6975 - 1386 * 15);
    EXPECT_FALSE(form.TimerCiclo.Enabled);
    EXPECT_FALSE(form.tmrScorrimento.Enabled);
    EXPECT_FALSE(form.picConteiner.Visible);
    EXPECT_TRUE(form.optVersione[0].Value);
    EXPECT_FALSE(form.optVersione[1].Value);
    ASSERT_TRUE(form.RichiestaHttp);
}

}  // namespace
}  // namespace noce
