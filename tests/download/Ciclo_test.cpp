// The cycle tick by tick, with stand-ins for the downloader and the
// extractor: the marker as the waiting states read it, what each start
// state does, and ticks that must not overlap.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "Installatore.h"
#include "ProgrammiFinti.h"
#include "support/ServerGrezzo.h"

namespace noce::prova {

namespace {

struct Ciclo {
    explicit Ciclo(const char* relativo = "Setup") : inst(relativo), registro(inst.drive.Radice() + "/../avvii.txt") {
        ScriviProgrammaFinto(inst.Host("scaricatore.exe"), registro);
        inst.form->TimerCiclo.Enabled = true;
    }
    void Tick() {
        inst.Esegui([&] { inst.form->TickCiclo(); });
    }
    std::vector<std::vector<std::string>> Avviati() {
        AttendiFigli();
        return Avvii(registro);
    }
    std::uint8_t& Fase() { return inst.form->FaseCiclo; }

    Installatore inst;
    std::string registro;
};

const char* const Marcatore = "scaricoincorso.max";

}  // namespace

TEST(Ciclo, ReadsTheMarkersFirstFieldAndItsLeadingNumber) {
    struct Caso {
        const char* nome;
        const char* contenuto;  // nullptr: no marker; "<cartella>": a folder of that name
        std::uint8_t fase;      // after one tick in state 1
        bool fallito;
    };
    const Caso casi[] = {
        {"blanks around 1", " 1 ", 2, false},
        {"the field ends at the comma", "1,0", 2, false},
        {"1.0 is 1", "1.0", 2, false},
        {"1 in quotes", "\"1\"\r\n", 2, false},
        {"1 with its line end", "1\r\n", 2, false},
        {"2 then more lines", "2\r\nErrore 404\r\naltro\r\n", 1, true},
        {"2 with a progress field", " 2 ,100\r\n", 1, true},
        {"no leading number", "x", 1, false},
        {"0 is a fetch running", "0", 1, false},
        {"0 with its progress", "0,57\r\n", 1, false},
        {"1.5 is neither 1 nor 2", "1.5", 1, false},
        {"12 is not 1", "12", 1, false},
        {"an empty file holds no field yet", "", 1, false},
        {"a blank line holds no number", "   \r\n", 1, false},
        {"no marker", nullptr, 1, false},
        {"a marker that cannot be opened", "<cartella>", 1, false},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        Ciclo ciclo;
        ciclo.Fase() = 1;
        if (c.contenuto && std::string(c.contenuto) == "<cartella>")
            std::filesystem::create_directories(ciclo.inst.Host(Marcatore));
        else if (c.contenuto)
            ciclo.inst.Scrivi(Marcatore, c.contenuto);

        ciclo.Tick();

        EXPECT_EQ(ciclo.Fase(), c.fase);
        EXPECT_EQ(ciclo.inst.ui.terminato, c.fallito);
        if (c.fallito) {
            ASSERT_EQ(ciclo.inst.ui.riquadri.size(), 1u);
            EXPECT_EQ(ciclo.inst.ui.riquadri[0].testo, "Errore nello scarico della lista files.");
        } else {
            EXPECT_TRUE(ciclo.inst.ui.riquadri.empty()) << ciclo.inst.ui.riquadri[0].testo;
        }
        // The cycle only reads the marker.
        EXPECT_EQ(ciclo.inst.Esiste(Marcatore), c.contenuto != nullptr);
        EXPECT_TRUE(ciclo.inst.Log().empty());
    }
}

TEST(Ciclo, EachWaitingStateMovesOnAtOneAndStopsTheRunAtTwo) {
    struct Caso {
        std::uint8_t fase, prossima;
        const char* messaggio;
    };
    const Caso casi[] = {{1, 2, "Errore nello scarico della lista files."},
                         {3, 4, "Errore nello scarico dell'estrattore."},
                         {5, 6, "Errore nello scarico dell'archivio."}};
    for (const auto& c : casi) {
        SCOPED_TRACE(static_cast<int>(c.fase));
        {
            Ciclo ciclo;
            ciclo.Fase() = c.fase;
            ciclo.inst.Scrivi(Marcatore, "1\r\n");
            ciclo.Tick();
            EXPECT_EQ(ciclo.Fase(), c.prossima);
            EXPECT_TRUE(ciclo.inst.ui.riquadri.empty());
        }
        {
            Ciclo ciclo;
            ciclo.Fase() = c.fase;
            ciclo.inst.Scrivi(Marcatore, "2\r\n");
            ciclo.Tick();
            EXPECT_TRUE(ciclo.inst.ui.terminato);
            ASSERT_EQ(ciclo.inst.ui.riquadri.size(), 1u);
            const auto& r = ciclo.inst.ui.riquadri[0];
            EXPECT_EQ(r.testo, c.messaggio);
            EXPECT_EQ(r.pulsanti, Pulsanti::OK);
            EXPECT_EQ(r.icona, Icona::Stop);
            EXPECT_EQ(r.titolo, "NOCE Installazione");
            // What the failed fetch left stays for a look.
            EXPECT_TRUE(ciclo.inst.Esiste(Marcatore));
        }
    }
}

TEST(Ciclo, TheListStateClearsAnOldMarkerAndLocksTheWindowFirst) {
    Ciclo ciclo;
    // A downloader still at work, with no verdict yet.
    ScriviProgrammaFinto(ciclo.inst.Host("scaricatore.exe"), ciclo.registro,
                         "while [ ! -e '" + ciclo.inst.Host("fine") + "' ]; do sleep 0.05; done");
    ciclo.inst.Scrivi(Marcatore, "1\r\n");  // left by an earlier run
    bool bloccataPrima = false;
    ciclo.inst.ui.suDoEvents = [&] {
        auto& f = *ciclo.inst.form;
        bloccataPrima = !f.ImgTasto[0].Visible && !f.ImgTasto[1].Visible && !f.optVersione[0].Enabled &&
                        !f.optVersione[1].Enabled && ciclo.Avviati().empty();
    };

    ciclo.Tick();

    EXPECT_TRUE(bloccataPrima) << "buttons hidden and the edition locked, shown, before the fetch starts";
    EXPECT_EQ(ciclo.Fase(), 1);
    EXPECT_EQ(ciclo.inst.Log(), (std::vector<std::string>{"Controlo la presenza del file lista.txt", "Avvio scarico lista",
                                                           "C:\\Setup\\scaricatore.exe -download/lista.txt -C:\\Setup\\lista.txt"}));
    // The old 1 is gone: the next tick keeps waiting.
    ciclo.Tick();
    EXPECT_EQ(ciclo.Fase(), 1);
    EXPECT_FALSE(ciclo.inst.ui.terminato);
    ciclo.inst.Scrivi("fine", "");
    EXPECT_EQ(ciclo.Avviati().size(), 1u);
}

TEST(Ciclo, TheExtractorStateRemovesAPresentExtractorBeforeTheFetch) {
    Ciclo ciclo;
    ciclo.Fase() = 2;
    ciclo.inst.Scrivi("Unzip.exe", "vecchio");
    ciclo.inst.Scrivi(Marcatore, "1");
    ciclo.Tick();
    EXPECT_EQ(ciclo.Fase(), 3);
    EXPECT_TRUE(ciclo.inst.ui.riquadri.empty()) << "the file is gone, so nothing to ask";
    EXPECT_FALSE(ciclo.inst.Esiste("Unzip.exe"));
    EXPECT_FALSE(ciclo.inst.Esiste(Marcatore));
    EXPECT_EQ(ciclo.inst.Log(),
              (std::vector<std::string>{"Controllo la presenza del file unzip", "Elimino unzip.exe", "Scarico UnZip"}));
    EXPECT_EQ(ciclo.Avviati(), (std::vector<std::vector<std::string>>{{"-download/unzip.exe", "-C:\\Setup\\unzip.exe"}}));
}

TEST(Ciclo, TheExtractorAndArchiveStatesClearTheMarkerBeforeTheirFetch) {
    // Both let events run just before they start the downloader: the
    // marker of the fetch before must be gone by then, or a fast
    // downloader's fresh marker could be the one deleted.
    for (std::uint8_t fase : {2, 4}) {
        SCOPED_TRACE(static_cast<int>(fase));
        Ciclo ciclo;
        ciclo.Fase() = fase;
        ciclo.inst.Scrivi(Marcatore, "1");
        bool presente = true;
        ciclo.inst.ui.suDoEvents = [&] { presente = ciclo.inst.Esiste(Marcatore); };
        ciclo.Tick();
        EXPECT_FALSE(presente);
        EXPECT_EQ(ciclo.Fase(), fase + 1);
        EXPECT_EQ(ciclo.Avviati().size(), 1u);
    }
}

TEST(Ciclo, AKeptFileMovesTheCycleToTheNextFetch) {
    // No to the list: on to the extractor at the next tick.
    {
        Ciclo ciclo;
        ciclo.inst.Scrivi("lista.txt", "presente");
        ciclo.inst.ui.risposte = {vbNo};
        ciclo.Tick();
        EXPECT_EQ(ciclo.Fase(), 2);
        EXPECT_TRUE(ciclo.Avviati().empty());
        ciclo.Tick();
        EXPECT_EQ(ciclo.Fase(), 3);
        EXPECT_EQ(ciclo.Avviati(), (std::vector<std::vector<std::string>>{{"-download/unzip.exe", "-C:\\Setup\\unzip.exe"}}));
    }
    // No to the extractor (it came back while the caption repainted): on
    // to the archive.
    {
        Ciclo ciclo;
        ciclo.Fase() = 2;
        ciclo.inst.ui.suDoEvents = [&] { ciclo.inst.Scrivi("unzip.exe", "ricomparso"); };
        ciclo.inst.ui.risposte = {vbNo};
        ciclo.Tick();
        EXPECT_EQ(ciclo.inst.ui.riquadri.size(), 1u);
        EXPECT_EQ(ciclo.Fase(), 4);
        ciclo.inst.ui.suDoEvents = nullptr;
        ciclo.Tick();
        EXPECT_EQ(ciclo.Fase(), 5);
        EXPECT_EQ(ciclo.Avviati(), (std::vector<std::vector<std::string>>{
                                       {"-download/FulcroNoceFiles.zip", "-C:\\Setup\\Transito.zip"}}));
    }
}

TEST(Ciclo, AKeptArchiveIsUnpackedAtTheNextTickWithTheCommandLineToTheCharacter) {
    for (const char* relativo : {"Setup", "Mia Cartella di prova"}) {
        SCOPED_TRACE(relativo);
        Ciclo ciclo(relativo);
        const std::string c = ciclo.inst.Cartella();
        ScriviProgrammaFinto(ciclo.inst.Host("unzip.exe"), ciclo.registro);
        ciclo.inst.Scrivi("Transito.zip", "archivio");
        ciclo.inst.Scrivi(Marcatore, "0");
        ciclo.Fase() = 4;
        ciclo.inst.ui.risposte = {vbNo};

        ciclo.Tick();
        EXPECT_EQ(ciclo.Fase(), 6);
        EXPECT_TRUE(ciclo.Avviati().empty()) << "no archive fetch";
        ciclo.Tick();

        EXPECT_EQ(ciclo.Fase(), 7);
        const std::string riga = "\"" + c + "\\unzip\" -o \"" + c + "\\transito.zip\" -d \"" + c + "\\files\"";
        EXPECT_EQ(ciclo.inst.Log(), (std::vector<std::string>{"Scarico Zip", "Non scarico", riga}));
        EXPECT_EQ(ciclo.Avviati(), (std::vector<std::vector<std::string>>{
                                       {"-o", c + "\\transito.zip", "-d", c + "\\files"}}));
    }
}

TEST(Ciclo, TicksNeverOverlap) {
    // A tick asking a question lets events through; a tick delivered then
    // must not ask it a second time or start a second fetch.
    {
        Ciclo ciclo;
        ciclo.inst.Scrivi("lista.txt", "presente");
        ciclo.inst.ui.suMsgBox = [&](const Riquadro&) { ciclo.inst.form->TickCiclo(); };
        ciclo.inst.ui.suDoEvents = [&] { ciclo.inst.form->TickCiclo(); };
        ciclo.Tick();
        EXPECT_EQ(ciclo.inst.ui.riquadri.size(), 1u);
        EXPECT_EQ(ciclo.Avviati().size(), 1u);
        EXPECT_EQ(ciclo.Fase(), 1);
    }
    // No tick before INSTALLA has fetched the downloader, though the timer
    // is on by then.
    {
        Ciclo ciclo;
        // The stand-in goes to the server; INSTALLA removes the one here.
        const std::string programma = ciclo.inst.Leggi("scaricatore.exe");
        ServerGrezzo server({{"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(programma.size()) + "\r\n\r\n" +
                              programma}});
        Variabile v("NOCE_SERVER", server.Indirizzo());
        ciclo.inst.form->TimerCiclo.Enabled = false;
        bool timerAcceso = false;
        ciclo.inst.ui.suDoEvents = [&] {
            timerAcceso = ciclo.inst.form->TimerCiclo.Enabled;
            ciclo.inst.form->TickCiclo();
        };
        ciclo.inst.Esegui([&] { ciclo.inst.form->ImgTasto_Click(0); });
        EXPECT_TRUE(timerAcceso);
        EXPECT_EQ(ciclo.Fase(), 0);
        EXPECT_EQ(ciclo.inst.Log(), (std::vector<std::string>{"Premuto 'Installa'", "Avvio richiesta scarico UnZip",
                                                               "Fine scarico Scaricatore"}));
        // Once it has returned, the first tick starts the list with the
        // downloader the bootstrap saved.
        ciclo.inst.ui.suDoEvents = nullptr;
        ciclo.Tick();
        EXPECT_EQ(ciclo.Fase(), 1);
        EXPECT_EQ(ciclo.Avviati().size(), 1u);
    }
    // A stopped timer delivers nothing.
    {
        Ciclo ciclo;
        ciclo.inst.form->TimerCiclo.Enabled = false;
        ciclo.Tick();
        EXPECT_EQ(ciclo.Fase(), 0);
        EXPECT_TRUE(ciclo.inst.Log().empty());
    }
}

TEST(Ciclo, ADownloaderThatEndsWithoutItsVerdictIsAFailedFetch) {
    // What the stand-in does once it has noted its arguments; "attesa"
    // runs until the test lets it go.
    struct Caso {
        const char* nome;
        std::string poi;
        bool fallito;  // false: the cycle moves on (1) or keeps waiting
        std::uint8_t fase;
    };
    const Caso casi[] = {
        {"ends writing nothing", "exit 0", true, 1},
        {"ends with 0 in the marker", "printf '0,50' > scaricoincorso.max", true, 1},
        {"ends with 1 in the marker", "printf '1' > scaricoincorso.max", false, 2},
        {"still running", "while [ ! -e fine ]; do sleep 0.05; done", false, 1},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        Ciclo ciclo;
        ScriviProgrammaFinto(ciclo.inst.Host("scaricatore.exe"), ciclo.registro, "cd '" + ciclo.inst.Host("") + "'\n" + c.poi);
        ciclo.Tick();
        ASSERT_EQ(ciclo.Fase(), 1);
        // Ticks closer together than the timer's, for as long as an ended
        // stand-in could take to be noticed.
        for (int i = 0; i < 40 && !ciclo.inst.ui.terminato && ciclo.Fase() == 1; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            ciclo.Tick();
        }
        EXPECT_EQ(ciclo.inst.ui.terminato, c.fallito);
        EXPECT_EQ(ciclo.Fase(), c.fase);
        if (c.fallito) {
            ASSERT_EQ(ciclo.inst.ui.riquadri.size(), 1u);
            EXPECT_EQ(ciclo.inst.ui.riquadri[0].testo, "Errore nello scarico della lista files.");
            EXPECT_EQ(ciclo.inst.ui.riquadri[0].icona, Icona::Stop);
            EXPECT_EQ(ciclo.inst.ui.riquadri[0].titolo, "NOCE Installazione");
        } else {
            EXPECT_TRUE(ciclo.inst.ui.riquadri.empty());
        }
        ciclo.inst.Scrivi("fine", "");
        ciclo.Avviati();
    }
}

}  // namespace noce::prova
