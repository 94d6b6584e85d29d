// The installation run on a real temporary drive: folders, components,
// files, the failure handling, the labels and yields, the whole log.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>

#include "install/AmbienteInstallazione.h"
#include "install/ListaInstallazione.h"
#include "platform/posix/Registro.h"

namespace noce {
namespace {

using prova::AmbienteInstallazione;
using prova::Riquadro;

std::string Lista(const std::vector<std::string>& directories, const std::vector<std::string>& components,
                  const std::vector<std::string>& files) {
    std::string s = "<directories>\r\n";
    for (const auto& d : directories) s += d + "\r\n";
    s += "</directories>\r\n<components>\r\n";
    for (const auto& c : components) s += c + "\r\n";
    s += "</components>\r\n<files>\r\n";
    for (const auto& f : files) s += f + "\r\n";
    return s + "</files>\r\n";
}

bool Contiene(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

bool ComincianoCon(const std::vector<std::string>& v, const std::string& prefisso) {
    return std::any_of(v.begin(), v.end(), [&](const std::string& s) { return s.starts_with(prefisso); });
}

// A window on the prepared drive, the font to copy directly (major
// version 5) unless a test says otherwise.
struct Corsa : AmbienteInstallazione {
    frmPrincipale form{ui};
    Corsa() {
        form.VersioneSO.dwMajorVersion = 5;
        drive.Scrivi("Setup/files/fulcro.ttf", "font");
    }
    void Esegui() { AmbienteInstallazione::Esegui(form); }
};

// ---- Failures that end the run -----------------------------------------

struct CasoFallimento {
    const char* nome;
    std::function<void(Corsa&)> prepara;
    const char* codice;       // "number.checkpoint"
    const char* descrizione;  // the runtime's text
    std::function<void(Corsa&)> verifica;
    friend void PrintTo(const CasoFallimento& c, std::ostream* os) { *os << c.nome; }
};

class RunFailure : public ::testing::TestWithParam<CasoFallimento> {};

TEST_P(RunFailure, IsLoggedShownAndEndsTheProgram) {
    const CasoFallimento& c = GetParam();
    Corsa corsa;
    corsa.Lista(Lista({}, {}, {}));
    c.prepara(corsa);
    corsa.Esegui();

    ASSERT_EQ(corsa.ui.riquadri.size(), 1u) << "only the failure message, no completion";
    const Riquadro& r = corsa.ui.riquadri[0];
    EXPECT_EQ(r.testo, std::string("Errore nell'installazione ") + c.codice + "\r\nImpossibile proseguire.");
    EXPECT_EQ(r.icona, Icona::Stop);
    EXPECT_EQ(r.pulsanti, Pulsanti::OK);
    EXPECT_EQ(r.titolo, "NOCE");
    auto log = corsa.Messaggi();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), std::string("Installazione\r\n") + c.codice + " " + c.descrizione);
    // A failed run leaves the working files for the next attempt.
    EXPECT_TRUE(corsa.drive.Esiste("Setup/files/fulcro.ttf"));
    if (c.verifica) c.verifica(corsa);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunFailure,
    ::testing::Values(
        CasoFallimento{"FileAlPostoDellaCartellaProdotto",
                       [](Corsa& k) { k.drive.Scrivi("Noce", "un file"); }, "76.10", "Impossibile trovare il percorso",
                       [](Corsa& k) {
                           auto log = k.Messaggi();
                           EXPECT_FALSE(Contiene(log, "Creo c:\\Noce")) << "the folder test accepts a file";
                           EXPECT_TRUE(Contiene(log, "Creo c:\\Noce\\Files"));
                       }},
        CasoFallimento{"CartellaGenitoreMancante",
                       [](Corsa& k) { k.Lista(Lista({"Prima", "Manca\\Figlia", "Dopo"}, {}, {})); }, "76.30",
                       "Impossibile trovare il percorso",
                       [](Corsa& k) {
                           EXPECT_TRUE(k.drive.Esiste("Noce/Prima")) << "what was created stays";
                           EXPECT_FALSE(k.drive.Esiste("Noce/Dopo"));
                           EXPECT_EQ(k.Messaggi().rbegin()[1], "Creo: c:\\Noce\\Manca\\Figlia");
                       }},
        CasoFallimento{"ListaMancante", [](Corsa& k) { std::filesystem::remove(k.drive.Host("Setup/Lista.txt")); },
                       "53.20", "Impossibile trovare il file",
                       [](Corsa& k) { EXPECT_TRUE(k.drive.Esiste("Noce/Files")); }},
        CasoFallimento{"CopiaDelComponenteRifiutata",
                       [](Corsa& k) {
                           k.Lista(Lista({}, {"nuovo.dll"}, {}));
                           k.drive.Scrivi("Setup/files/nuovo.dll", "dll");
                           posix::ImpostazioniMacchina imp;
                           imp.amministratore = false;
                           k.drive.Imposta(imp);
                       },
                       "70.50", "Autorizzazione negata",
                       [](Corsa& k) { EXPECT_FALSE(k.drive.Esiste("Windows/System32/nuovo.dll")); }},
        CasoFallimento{"VoceFilesSenzaVirgola",
                       [](Corsa& k) {
                           k.Lista(Lista({}, {}, {"uno.txt,AppPath", "senzavirgola", "due.txt,AppPath"}));
                           k.drive.Scrivi("Setup/files/uno.txt", "1");
                           k.drive.Scrivi("Setup/files/due.txt", "2");
                       },
                       "5.73", "Chiamata di routine o argomento non validi",
                       [](Corsa& k) {
                           auto log = k.Messaggi();
                           EXPECT_TRUE(k.drive.Esiste("Noce/uno.txt")) << "earlier entries are processed";
                           EXPECT_FALSE(k.drive.Esiste("Noce/due.txt"));
                           EXPECT_EQ(log.rbegin()[1], "---- Fine Controllo") << "no record for the entry itself";
                           EXPECT_FALSE(ComincianoCon(log, "---- Controllo: senzavirgola"));
                       }},
        CasoFallimento{"RigaVuotaNeiFiles", [](Corsa& k) { k.Lista(Lista({}, {}, {""})); }, "5.73",
                       "Chiamata di routine o argomento non validi",
                       [](Corsa& k) { EXPECT_EQ(k.Messaggi().rbegin()[1], "Metto in lista: "); }},
        CasoFallimento{"DestinazioneMancante",
                       [](Corsa& k) {
                           k.Lista(Lista({}, {}, {"a.txt,AppPath\\NonCreata"}));
                           k.drive.Scrivi("Setup/files/a.txt", "a");
                       },
                       "76.81", "Impossibile trovare il percorso",
                       [](Corsa& k) {
                           EXPECT_EQ(k.Messaggi().rbegin()[1],
                                     "Copio: C:\\Setup\\files\\a.txt,c:\\Noce\\NonCreata\\a.txt");
                       }},
        CasoFallimento{"MarcatoreImpossibile",
                       [](Corsa& k) { std::filesystem::create_directories(k.drive.Host("Noce/ImpostaRidotto.max")); },
                       "70.111", "Autorizzazione negata",
                       [](Corsa& k) { EXPECT_EQ(k.Messaggi().rbegin()[1], "Versione BASIC"); }}),
    [](const ::testing::TestParamInfo<CasoFallimento>& i) { return std::string(i.param.nome); });

// The failure handler itself cannot log (the log has become a folder):
// the person still sees the failure and the program ends.
TEST(RunFailure, WithoutALogItIsStillShownAndEnds) {
    Corsa corsa;
    corsa.Lista(Lista({}, {}, {"a.txt,AppPath"}));
    corsa.drive.Scrivi("Setup/files/a.txt", "a");
    corsa.ui.suDoEvents = [&] {
        if (corsa.form.lblScritta[2].Caption != "c:\\Noce\\a.txt") return;
        std::filesystem::remove(corsa.drive.Host("Setup/files/logInstallazione.txt"));
        std::filesystem::create_directory(corsa.drive.Host("Setup/files/logInstallazione.txt"));
    };
    corsa.Esegui();
    ASSERT_EQ(corsa.ui.riquadri.size(), 1u);
    EXPECT_EQ(corsa.ui.riquadri[0].testo, "Errore nell'installazione 70.82\r\nImpossibile proseguire.");
    EXPECT_EQ(corsa.drive.Leggi("Noce/a.txt"), "a");
}

// 32,768 entries do not fit the working list: the pass fails at its own
// checkpoint instead of wrapping the index round and going on.
TEST(Overflow, ASectionTooLongEndsAtItsCheckpoint) {
    Corsa corsa;
    std::vector<std::string> voci;
    for (int i = 0; i <= CapienzaLista; ++i) voci.push_back("d" + std::to_string(i));
    corsa.Lista(Lista(voci, {}, {}));
    corsa.Esegui();
    ASSERT_EQ(corsa.ui.riquadri.size(), 1u);
    EXPECT_EQ(corsa.ui.riquadri[0].testo, "Errore nell'installazione 6.20\r\nImpossibile proseguire.");
    EXPECT_EQ(corsa.form.List1.ListCount(), CapienzaLista);
    EXPECT_FALSE(corsa.drive.Esiste("Noce/d0")) << "no folder of the section is created";
    auto log = corsa.Messaggi();
    EXPECT_EQ(log.back(), "Installazione\r\n6.20 Overflow");
}

// ---- Product folder, labels and yields -------------------------------------

struct CasoCartellaProdotto {
    const char* nome;
    bool presente;
    std::vector<std::string> righeAttese;
    const char* etichettaAlMessaggio;  // detail label when the completion box opens
    friend void PrintTo(const CasoCartellaProdotto& c, std::ostream* os) { *os << c.nome; }
};

class ProductFolder : public ::testing::TestWithParam<CasoCartellaProdotto> {};

TEST_P(ProductFolder, CreatedOnlyWhenMissing) {
    const auto& c = GetParam();
    Corsa corsa;
    corsa.Lista(Lista({}, {}, {}));
    if (c.presente) std::filesystem::create_directories(corsa.drive.Host("noce/files"));
    std::string etichetta = "?";
    corsa.ui.suMsgBox = [&](const Riquadro&) { etichetta = corsa.form.lblScritta[2].Caption; };
    corsa.Esegui();
    auto log = corsa.MessaggiCompleti();
    ASSERT_GE(log.size(), c.righeAttese.size() + 1);
    EXPECT_EQ(std::vector<std::string>(log.begin() + 1, log.begin() + 1 + static_cast<long>(c.righeAttese.size())),
              c.righeAttese);
    EXPECT_TRUE(std::filesystem::is_directory(corsa.drive.Host(c.presente ? "noce/files" : "Noce/Files")));
    EXPECT_EQ(etichetta, c.etichettaAlMessaggio);
    EXPECT_EQ(corsa.form.NocePath, "c:\\Noce");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProductFolder,
    ::testing::Values(CasoCartellaProdotto{"Assente",
                                           false,
                                           {"Creazione Directories", "Controllo: c:\\Noce", "Creo c:\\Noce",
                                            "Creazione Directories", "Controllo: c:\\Noce\\Files",
                                            "Creo c:\\Noce\\Files", "Installazione componenti"},
                                           "c:\\Noce\\Files"},
                      CasoCartellaProdotto{"Presente",
                                           true,
                                           {"Creazione Directories", "Controllo: c:\\Noce", "Creazione Directories",
                                            "Controllo: c:\\Noce\\Files", "Installazione componenti"},
                                           ""}),
    [](const ::testing::TestParamInfo<CasoCartellaProdotto>& i) { return std::string(i.param.nome); });

// Each yield comes where the labels have something new to show: the detail
// label before a folder is made and before a file is copied, after a
// component is copied.
TEST(Yields, LabelsAndOrderAroundTheOperations) {
    Corsa corsa;
    corsa.Lista(Lista({"Dati"}, {"nuovo.dll"}, {"a.txt,AppPath\\Dati"}));
    corsa.drive.Scrivi("Setup/files/nuovo.dll", "dll");
    corsa.drive.Scrivi("Setup/files/a.txt", "a");
    struct Visto {
        std::string fase, dettaglio;
        bool visibile, esiste;
    };
    std::vector<Visto> visti;
    corsa.ui.suDoEvents = [&] {
        const auto& d = corsa.form.lblScritta[2].Caption;
        visti.push_back({corsa.form.lblScritta[1].Caption, d, corsa.form.lblScritta[2].Visible,
                         !d.empty() && sistema::EsisteCartella(d)});
    };
    corsa.Esegui();
    ASSERT_EQ(visti.size(), 5u);
    const char* dettagli[] = {"", "c:\\Noce\\Dati", "C:\\Windows\\System32\\nuovo.dll", "c:\\Noce\\Dati\\a.txt",
                              "Installazione completata"};
    const bool esistenze[] = {false, false, true, false, false};
    for (std::size_t i = 0; i < visti.size(); ++i) {
        EXPECT_EQ(visti[i].fase, "Installazione") << i;
        EXPECT_EQ(visti[i].dettaglio, dettagli[i]) << i;
        EXPECT_TRUE(visti[i].visibile) << i;
        EXPECT_EQ(visti[i].esiste, esistenze[i]) << "yield " << i << " at the wrong side of its operation";
    }
}

// A yield lets events run; a second run must not start from one of them,
// and the first must go on untouched.
TEST(Yields, ASecondRunDoesNotStart) {
    Corsa corsa;
    corsa.Lista(Lista({"Dati"}, {}, {}));
    int tentativi = 0;
    corsa.ui.suDoEvents = [&] {
        // A bounded number of attempts, so that a missing guard shows as
        // a second run in the log rather than as endless recursion.
        if (++tentativi <= 3) corsa.form.Installazione();
    };
    corsa.Esegui();
    EXPECT_EQ(tentativi, 3);
    auto log = corsa.MessaggiCompleti();
    EXPECT_EQ(std::count(log.begin(), log.end(), "Inizio installazione"), 1);
    EXPECT_EQ(log.back(), "Fine");
    ASSERT_EQ(corsa.ui.riquadri.size(), 1u);
    EXPECT_EQ(corsa.ui.riquadri[0].icona, Icona::Informazione);
    EXPECT_TRUE(corsa.drive.Esiste("Noce/Dati"));
}

// ---- Components and files --------------------------------------------------

TEST(Components, PresentMissingCopiedAndRegistered) {
    Corsa corsa;
    corsa.Lista(Lista({}, {"comune.dll", "assente.ocx", "nuovo.dll"}, {}));
    corsa.drive.Scrivi("Windows/System32/comune.dll", "vecchio");
    corsa.drive.Scrivi("Setup/files/comune.dll", "nuovo");
    corsa.drive.Scrivi("Setup/Files/nuovo.dll", "dll");
    corsa.Esegui();
    EXPECT_EQ(corsa.drive.Leggi("Windows/System32/comune.dll"), "vecchio") << "present means present: not replaced";
    EXPECT_EQ(corsa.drive.Leggi("Windows/System32/nuovo.dll"), "dll");
    EXPECT_FALSE(corsa.drive.Esiste("Windows/System32/assente.ocx"));

    std::vector<std::string> registrati;
    for (auto p : posix::ComponentiRegistrati()) {
        std::transform(p.begin(), p.end(), p.begin(), [](unsigned char ch) { return std::tolower(ch); });
        registrati.push_back(p);
    }
    EXPECT_EQ(registrati, std::vector<std::string>{"c:\\windows\\system32\\nuovo.dll"})
        << "only the component copied in this run is registered, where it was copied";
}

TEST(Files, KeywordReplacedOnceAndOnlyThere) {
    Corsa corsa;
    corsa.Lista(Lista({"Dati", "AppPath"}, {},
                      {"a.txt,AppPath", "b.txt,AppPath\\Dati", "c.txt,c:\\Altro\\apppath", "d.txt,AppPath\\AppPath",
                       "e.txt,c:\\Altro\\x,y", "sotto\\f.txt,AppPath\\Dati"}));
    for (const char* n : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "sotto/f.txt"})
        corsa.drive.Scrivi(std::string("Setup/files/") + n, n);
    std::filesystem::create_directories(corsa.drive.Host("Altro/apppath"));
    std::filesystem::create_directories(corsa.drive.Host("Altro/x,y"));
    std::filesystem::create_directories(corsa.drive.Host("Noce/Dati/sotto"));
    corsa.Esegui();
    EXPECT_EQ(corsa.drive.Leggi("Noce/a.txt"), "a.txt");
    EXPECT_EQ(corsa.drive.Leggi("Noce/Dati/b.txt"), "b.txt");
    EXPECT_EQ(corsa.drive.Leggi("Altro/apppath/c.txt"), "c.txt") << "lower-case apppath is no keyword";
    EXPECT_EQ(corsa.drive.Leggi("Noce/AppPath/d.txt"), "d.txt") << "only the first keyword is replaced";
    EXPECT_EQ(corsa.drive.Leggi("Altro/x,y/e.txt"), "e.txt") << "further commas belong to the destination";
    EXPECT_EQ(corsa.drive.Leggi("Noce/Dati/sotto/f.txt"), "sotto/f.txt");
    EXPECT_TRUE(Contiene(corsa.MessaggiCompleti(), "---- Controllo: c:\\Noce\\AppPath\\d.txt"));
}

TEST(Files, PresentNotReplacedAndMissingOnlyLogged) {
    Corsa corsa;
    corsa.Lista(Lista({}, {}, {"c.txt,AppPath", "manca.txt,AppPath", "dopo.txt,AppPath"}));
    corsa.drive.Scrivi("Noce/c.txt", "vecchio");
    corsa.drive.Scrivi("Setup/files/c.txt", "nuovo");
    corsa.drive.Scrivi("Setup/files/dopo.txt", "dopo");
    corsa.Esegui();
    EXPECT_EQ(corsa.drive.Leggi("Noce/c.txt"), "vecchio");
    EXPECT_EQ(corsa.drive.Leggi("Noce/dopo.txt"), "dopo") << "a missing source does not stop the run";
}

TEST(Sections, EmptyOnesDoNothingAndTheRunGoesOn) {
    Corsa corsa;
    corsa.Lista("nessuna sezione\r\n");
    corsa.Esegui();
    auto log = corsa.MessaggiCompleti();
    EXPECT_FALSE(ComincianoCon(log, "Metto in lista: "));
    EXPECT_EQ(log.back(), "Fine");
    ASSERT_EQ(corsa.ui.riquadri.size(), 1u);
    EXPECT_EQ(corsa.ui.riquadri[0].icona, Icona::Informazione);
}

// ---- The whole log of a successful run ---------------------------------------

TEST(Log, ASuccessfulRunRecordByRecord) {
    Corsa corsa;
    corsa.Lista(Lista({"Dati", "Dati\\Archivio"}, {"comune.dll", "assente.ocx", "nuovo.dll"},
                      {"noce.exe,AppPath", "leggimi.txt,AppPath\\Dati", "gia.txt,AppPath", "manca.txt,AppPath"}));
    corsa.drive.Scrivi("Windows/System32/comune.dll", "vecchio");
    corsa.drive.Scrivi("Setup/files/nuovo.dll", "dll");
    corsa.drive.Scrivi("Setup/files/noce.exe", "exe");
    corsa.drive.Scrivi("Setup/files/leggimi.txt", "leggimi");
    corsa.drive.Scrivi("Setup/files/gia.txt", "nuovo");
    corsa.drive.Scrivi("Noce/gia.txt", "vecchio");
    corsa.Esegui();
    ASSERT_FALSE(corsa.drive.Esiste("Setup/files"));
    const std::vector<std::string> attesi = {
        "Inizio installazione",
        "Creazione Directories",
        "Controllo: c:\\Noce",
        "Creazione Directories",
        "Controllo: c:\\Noce\\Files",
        "Creo c:\\Noce\\Files",
        "Metto in lista: Dati",
        "Metto in lista: Dati\\Archivio",
        "Creo: c:\\Noce\\Dati",
        "Creo: c:\\Noce\\Dati\\Archivio",
        "Installazione componenti",
        "Metto in lista: comune.dll",
        "Metto in lista: assente.ocx",
        "Metto in lista: nuovo.dll",
        "---- Controllo:C:\\Windows\\System32\\comune.dll",
        "               Componente già presente",
        "---- Fine controllo",
        "---- Controllo:C:\\Windows\\System32\\assente.ocx",
        "              C:\\Setup\\Files\\assente.ocx",
        "              Componente non trovato",
        "---- Fine controllo",
        "---- Controllo:C:\\Windows\\System32\\nuovo.dll",
        "              C:\\Setup\\Files\\nuovo.dll",
        "              Copio: C:\\Setup\\Files\\nuovo.dll,C:\\Windows\\System32\\nuovo.dll",
        "              Eseguo: C:\\Windows\\System32\\regsvr32 \"C:\\Windows\\System32\\nuovo.dll\" /s",
        "---- Fine controllo",
        "Copia dei files",
        "Metto in lista: noce.exe,AppPath",
        "Metto in lista: leggimi.txt,AppPath\\Dati",
        "Metto in lista: gia.txt,AppPath",
        "Metto in lista: manca.txt,AppPath",
        "---- Controllo: c:\\Noce\\noce.exe",
        "                C:\\Setup\\files\\noce.exe",
        "Copio: C:\\Setup\\files\\noce.exe,c:\\Noce\\noce.exe",
        "---- Fine Controllo",
        "---- Controllo: c:\\Noce\\Dati\\leggimi.txt",
        "                C:\\Setup\\files\\leggimi.txt",
        "Copio: C:\\Setup\\files\\leggimi.txt,c:\\Noce\\Dati\\leggimi.txt",
        "---- Fine Controllo",
        "---- Controllo: c:\\Noce\\gia.txt",
        "                File già presente",
        "---- Fine Controllo",
        "---- Controllo: c:\\Noce\\manca.txt",
        "                C:\\Setup\\files\\manca.txt",
        "                  File non trovato",
        "---- Fine Controllo",
        "Installazione del font",
        "Copio il font in C:\\Windows\\Fonts",
        "Avvio creazione del link",
        "Creazione del link",
        "Copio: C:\\Users\\Public\\Desktop\\NOCE.lnk,"
        "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\fulcro\\NOCE.lnk",
        "Fine creazione link",
        "Imposto la versione",
        "Versione BASIC",
        "Fine",
    };
    const std::string grezzo = corsa.drive.Leggi("log-completo.txt");
    const auto log = AmbienteInstallazione::Messaggi(grezzo);
    for (std::size_t i = 0; i < std::max(log.size(), attesi.size()); ++i)
        EXPECT_EQ(i < log.size() ? log[i] : "<none>", i < attesi.size() ? attesi[i] : "<none>") << "record " << i;
    // The blanks are counted: the file holds them as written, in cp1252.
    EXPECT_NE(grezzo.find("|               Componente gi\xE0 presente\r\n\r\n"), std::string::npos);
}

}  // namespace
}  // namespace noce
