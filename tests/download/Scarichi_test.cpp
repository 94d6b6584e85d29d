// The three fetch starters with a stand-in downloader that notes how it was
// started: the command lines, the questions and their answers, the
// failure path.
#include <gtest/gtest.h>

#include "Installatore.h"
#include "ProgrammiFinti.h"

namespace noce::prova {

namespace {

struct Avviatore {
    const char* nome;
    void (frmPrincipale::*avvia)();
    std::uint8_t fase;         // the state that calls it
    std::uint8_t faseDopoNo;   // the state after the present file is kept
    std::string riga;          // command line, for the folder "@"
    const char* presente;      // the target, spelt as it may lie on disk
    std::string domanda;
    Icona icona;
    std::string titolo;
    std::string didascalia;    // lblScritta(1) afterwards
    bool rigaNelLog;
    int doEvents;
};

std::string Sostituisci(std::string s, const std::string& cartella) {
    for (auto p = s.find('@'); p != std::string::npos; p = s.find('@', p + cartella.size()))
        s.replace(p, 1, cartella);
    return s;
}

const Avviatore Avviatori[] = {
    {"ScaricoLista", &frmPrincipale::ScaricoLista, 0, 2, "@\\scaricatore.exe -download/lista.txt -@\\lista.txt",
     "LISTA.TXT", "File lista già presente, lo scarico di nuovo?", Icona::Domanda, "NoceInstallazione",
     "INSTALLA per installare NOCE,", true, 0},
    {"ScaricoUnZip", &frmPrincipale::ScaricoUnZip, 2, 4, "@\\scaricatore.exe -download/unzip.exe -@\\unzip.exe",
     "UnZip.exe", "Scompattatore già presente, lo scarico di nuovo?", Icona::Domanda, "NoceInstallazione",
     "Scarico UnZip", false, 1},
    {"ScaricoZip", &frmPrincipale::ScaricoZip, 4, 6,
     "@\\scaricatore.exe -download/FulcroNoceFiles.zip -@\\Transito.zip", "Transito.zip",
     "E' già presente il file transito.zip.\r\nScaricarlo di nuovo?", Icona::Nessuna, "NOCE", "Scarico Archivio Zip",
     false, 1},
};

// Installer folders: a plain one, and one whose blanks would split an
// unquoted path into several arguments.
const std::pair<const char*, std::size_t> Cartelle[] = {{"Setup", 1}, {"Mia Cartella di prova", 4}};

struct Prova {
    explicit Prova(const char* relativo) : inst(relativo), registro(inst.drive.Radice() + "/../avvii.txt") {
        ScriviProgrammaFinto(inst.Host("scaricatore.exe"), registro);
    }
    std::vector<std::vector<std::string>> Avviati() {
        AttendiFigli();
        return Avvii(registro);
    }
    Installatore inst;
    std::string registro;
};

}  // namespace

TEST(Starters, StartTheDownloaderWithTheCommandLineToTheCharacter) {
    for (const auto& [relativo, parole] : Cartelle)
        for (const auto& a : Avviatori) {
            SCOPED_TRACE(std::string(a.nome) + " in " + relativo);
            Prova p(relativo);
            p.inst.form->FaseCiclo = a.fase;
            const std::string riga = Sostituisci(a.riga, p.inst.Cartella());

            (p.inst.form.get()->*a.avvia)();

            EXPECT_FALSE(p.inst.ui.terminato);
            EXPECT_TRUE(p.inst.ui.riquadri.empty());
            EXPECT_EQ(p.Avviati(), std::vector<std::vector<std::string>>{ParoleDopo(riga, parole)});
            EXPECT_EQ(p.inst.Log(), a.rigaNelLog ? std::vector<std::string>{riga} : std::vector<std::string>{});
            EXPECT_EQ(p.inst.form->FaseCiclo, a.fase) << "the cycle moves on, not the starter";
            EXPECT_EQ(p.inst.form->lblScritta[1].Caption, a.didascalia);
            EXPECT_EQ(p.inst.ui.doEvents, a.doEvents);
        }
}

TEST(Starters, AskBeforeFetchingAPresentFileAgain) {
    for (const auto& [relativo, parole] : Cartelle)
        for (const auto& a : Avviatori)
            for (int risposta : {vbYes, vbNo}) {
                SCOPED_TRACE(std::string(a.nome) + " in " + relativo + (risposta == vbYes ? ", Yes" : ", No"));
                Prova p(relativo);
                p.inst.form->FaseCiclo = a.fase;
                p.inst.Scrivi(a.presente, "presente");
                p.inst.ui.risposte = {risposta};
                const std::string riga = Sostituisci(a.riga, p.inst.Cartella());

                (p.inst.form.get()->*a.avvia)();

                ASSERT_EQ(p.inst.ui.riquadri.size(), 1u);
                const auto& r = p.inst.ui.riquadri[0];
                EXPECT_EQ(r.testo, a.domanda);
                EXPECT_EQ(r.pulsanti, Pulsanti::SiNo);
                EXPECT_EQ(r.icona, a.icona);
                EXPECT_EQ(r.titolo, a.titolo);
                EXPECT_FALSE(p.inst.ui.terminato);
                const bool archivio = a.fase == 4;
                if (risposta == vbYes) {
                    EXPECT_EQ(p.Avviati(), std::vector<std::vector<std::string>>{ParoleDopo(riga, parole)});
                    EXPECT_EQ(p.inst.form->FaseCiclo, a.fase);
                    // The archive is taken away for the new one; the others
                    // stay until the downloader replaces them.
                    EXPECT_EQ(p.inst.Esiste(a.presente), !archivio);
                    EXPECT_EQ(p.inst.Log(), a.rigaNelLog ? std::vector<std::string>{riga} : std::vector<std::string>{});
                } else {
                    EXPECT_TRUE(p.Avviati().empty());
                    EXPECT_EQ(p.inst.form->FaseCiclo, a.faseDopoNo);
                    EXPECT_EQ(p.inst.Leggi(a.presente), "presente");
                    EXPECT_EQ(p.inst.Log(), archivio ? std::vector<std::string>{"Non scarico"} : std::vector<std::string>{});
                }
            }
}

TEST(Starters, AMissingDownloaderEndsTheProgramWithTheStartersName) {
    for (const auto& a : Avviatori) {
        SCOPED_TRACE(a.nome);
        Installatore inst;
        inst.Esegui([&] { (inst.form.get()->*a.avvia)(); });
        EXPECT_TRUE(inst.ui.terminato);
        ASSERT_EQ(inst.ui.riquadri.size(), 1u);
        EXPECT_EQ(inst.ui.riquadri[0].testo, "53. Impossibile trovare il file");
        EXPECT_EQ(inst.ui.riquadri[0].pulsanti, Pulsanti::OK);
        EXPECT_EQ(inst.ui.riquadri[0].icona, Icona::Nessuna);
        EXPECT_EQ(inst.ui.riquadri[0].titolo, "NoceInstallazione");
        auto log = inst.Log();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back(), std::string(a.nome) + "\r\n53. Impossibile trovare il file");
    }
}

TEST(Starters, AnArchiveThatStaysAfterItsDeletionStopsTheRun) {
    // Two spellings of one name on a case-sensitive disk: deleting one
    // leaves the other, which the installer sees as the same file.
    Prova p("Setup");
    p.inst.Scrivi("transito.zip", "uno");
    p.inst.Scrivi("Transito.zip", "due");
    p.inst.ui.risposte = {vbYes};
    p.inst.Esegui([&] { p.inst.form->ScaricoZip(); });
    EXPECT_TRUE(p.inst.ui.terminato);
    ASSERT_EQ(p.inst.ui.riquadri.size(), 2u);
    const auto& r = p.inst.ui.riquadri[1];
    EXPECT_EQ(r.testo, "Non è stato possibile sostituire il file transito.zip.\r\nImpossibile preoseguire.");
    EXPECT_EQ(r.pulsanti, Pulsanti::OK);
    EXPECT_EQ(r.icona, Icona::Stop);
    EXPECT_EQ(r.titolo, "NOCE");
    EXPECT_TRUE(p.Avviati().empty());
}

}  // namespace noce::prova
