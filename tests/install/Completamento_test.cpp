// The last steps of the run: font, shortcuts, edition marker, completion
// message and clean-up.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>

#include "install/AmbienteInstallazione.h"
#include "platform/posix/Registro.h"
#include "support/Processi.h"

namespace noce {
namespace {

namespace fs = std::filesystem;
using prova::AmbienteInstallazione;
using prova::Riquadro;

const char* const ListaMinima = "<directories>\r\n</directories>\r\n<files>\r\nnoce.exe,AppPath\r\n</files>\r\n";

struct Corsa : AmbienteInstallazione {
    frmPrincipale form{ui};
    explicit Corsa(std::uint32_t maggiore = 5) {
        form.VersioneSO.dwMajorVersion = maggiore;
        Lista(ListaMinima);
        drive.Scrivi("Setup/files/noce.exe", "exe");
        drive.Scrivi("Setup/files/fulcro.ttf", "font TrueType");
    }
    void Esegui() { AmbienteInstallazione::Esegui(form); }
};

// ---- Edition markers ----------------------------------------------------------

struct CasoMarcatori {
    const char* nome;
    bool estesa;
    const char* ridottoPrima;  // nullptr: absent
    const char* estesaPrima;
    const char* ridottoDopo;
    const char* estesaDopo;
    const char* riga;
    friend void PrintTo(const CasoMarcatori& c, std::ostream* os) { *os << c.nome; }
};

class Markers : public ::testing::TestWithParam<CasoMarcatori> {};

TEST_P(Markers, OverEarlierInstallations) {
    const auto& c = GetParam();
    Corsa corsa;
    if (c.ridottoPrima) corsa.drive.Scrivi("Noce/ImpostaRidotto.max", c.ridottoPrima);
    if (c.estesaPrima) corsa.drive.Scrivi("Noce/NoceImpostaEstesa.fulcro", c.estesaPrima);
    corsa.form.optVersione[0].Value = !c.estesa;
    corsa.form.optVersione[1].Value = c.estesa;
    corsa.Esegui();
    auto stato = [&](const char* nome) -> std::string {
        return corsa.drive.Esiste(std::string("Noce/") + nome) ? corsa.drive.Leggi(std::string("Noce/") + nome)
                                                                : "<assente>";
    };
    EXPECT_EQ(stato("ImpostaRidotto.max"), c.ridottoDopo ? c.ridottoDopo : "<assente>");
    EXPECT_EQ(stato("NoceImpostaEstesa.fulcro"), c.estesaDopo ? c.estesaDopo : "<assente>");
    ASSERT_EQ(corsa.ui.riquadri.size(), 1u);
    EXPECT_EQ(corsa.ui.riquadri[0].icona, Icona::Informazione);
    // The edition's line, once, and never the other edition's.
    auto log = corsa.MessaggiCompleti();
    EXPECT_EQ(std::count(log.begin(), log.end(), c.riga), 1);
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& m) { return m.starts_with("Versione "); }), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Markers,
    ::testing::Values(CasoMarcatori{"BasicNuova", false, nullptr, nullptr, "", nullptr, "Versione BASIC"},
                      CasoMarcatori{"BasicSopraEstesaLasciaEntrambi", false, nullptr, "x", "", "x", "Versione BASIC"},
                      CasoMarcatori{"BasicSvuotaIlSuo", false, "vecchio", nullptr, "", nullptr, "Versione BASIC"},
                      CasoMarcatori{"EstesaNuova", true, nullptr, nullptr, nullptr, "", "Versione ESTESA"},
                      CasoMarcatori{"EstesaSopraBasicLaToglie", true, "x", nullptr, nullptr, "", "Versione ESTESA"},
                      CasoMarcatori{"EstesaSvuotaIlSuo", true, nullptr, "vecchio", nullptr, "", "Versione ESTESA"}),
    [](const ::testing::TestParamInfo<CasoMarcatori>& i) { return std::string(i.param.nome); });

// ---- Completion message and clean-up -------------------------------------------

const char* const FileDiLavoro[] = {"Setup/lista.txt",          "Setup/unzip.exe",    "Setup/LogScarico.txt",
                                    "Setup/ScaricoInCorso.max", "Setup/Transito.zip", "Setup/Scaricatore.exe"};

void PreparaFileDiLavoro(const AmbienteInstallazione& a) {
    for (const char* f : FileDiLavoro)
        if (std::string(f) != "Setup/lista.txt") a.drive.Scrivi(f, f);
}

TEST(Cleanup, NothingStays) {
    Corsa corsa;
    PreparaFileDiLavoro(corsa);
    // What an archive brings: sub-folders, nested, with files; and links to
    // a folder and a file outside, whose contents must survive.
    corsa.drive.Scrivi("Setup/files/dati/a.txt", "a");
    corsa.drive.Scrivi("Setup/files/dati/profondo/ancora/b.txt", "b");
    fs::create_directories(corsa.drive.Host("Setup/files/vuota"));
    corsa.drive.Scrivi("Fuori/prezioso.txt", "resta");
    fs::create_directory_symlink(corsa.drive.Host("Fuori"), corsa.drive.Host("Setup/files/collegamento"));
    fs::create_directory_symlink(corsa.drive.Host("Fuori"), corsa.drive.Host("Setup/files/dati/altro"));
    fs::create_symlink(corsa.drive.Host("Fuori/prezioso.txt"), corsa.drive.Host("Setup/files/al-file.txt"));
    fs::create_symlink(corsa.drive.Host("non-esiste"), corsa.drive.Host("Setup/files/dati/spezzato"));

    std::vector<std::string> ordine;
    corsa.ui.suMsgBox = [&](const Riquadro& r) {
        ordine.push_back(r.testo);
        EXPECT_TRUE(corsa.drive.Esiste("Setup/files/logInstallazione.txt")) << "the box comes before the clean-up";
    };
    corsa.Esegui();
    EXPECT_EQ(ordine, std::vector<std::string>{"Installazione completata.\r\nRiavviare il computer."});
    EXPECT_EQ(corsa.ui.riquadri[0].titolo, "NOCE");
    EXPECT_EQ(corsa.ui.riquadri[0].pulsanti, Pulsanti::OK);
    EXPECT_EQ(corsa.form.lblScritta[2].Caption, "Installazione completata");
    std::vector<std::string> resti;
    for (const auto& e : fs::directory_iterator(corsa.drive.Host("Setup"))) resti.push_back(e.path().filename());
    EXPECT_EQ(resti, std::vector<std::string>{}) << "neither working files nor the files folder";
    EXPECT_EQ(corsa.drive.Leggi("Fuori/prezioso.txt"), "resta") << "a link is removed, not followed";
    EXPECT_EQ(corsa.drive.Leggi("Noce/noce.exe"), "exe");
    // File1 saw the plain files of DirFiles, List2 took them over.
    EXPECT_EQ(corsa.form.File1.Path, "C:\\Setup\\files");
    EXPECT_EQ(corsa.form.List2.Elementi, corsa.form.File1.Elementi);
    EXPECT_TRUE(std::find(corsa.form.List2.Elementi.begin(), corsa.form.List2.Elementi.end(),
                          "logInstallazione.txt") != corsa.form.List2.Elementi.end());
}

TEST(Cleanup, AbsentWorkFilesAreNoError) {
    Corsa corsa;
    corsa.Esegui();
    ASSERT_EQ(corsa.ui.riquadri.size(), 1u);
    EXPECT_FALSE(corsa.drive.Esiste("Setup/files"));
    EXPECT_FALSE(corsa.drive.Esiste("Setup/Lista.txt"));
}

// Makes a file undeletable, also for root: the immutable attribute, which
// no permission overrides. Cleared again before the drive goes away.
class Immutabile {
public:
    explicit Immutabile(std::string host) : host_(std::move(host)) { ok_ = Imposta(true); }
    ~Immutabile() {
        if (ok_) Imposta(false);
    }
    Immutabile(const Immutabile&) = delete;
    Immutabile& operator=(const Immutabile&) = delete;
    bool Riuscito() const { return ok_; }

private:
    bool Imposta(bool acceso) {
        int fd = ::open(host_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return false;
        int flag = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flag) == 0;
        if (ok) {
            flag = acceso ? (flag | FS_IMMUTABLE_FL) : (flag & ~FS_IMMUTABLE_FL);
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flag) == 0;
        }
        ::close(fd);
        return ok;
    }
    std::string host_;
    bool ok_ = false;
};

struct CasoBlocco {
    const char* nome;
    const char* bloccato;  // below the drive; hidden files need no attribute
    bool immutabile;
    const char* codice;
    std::vector<const char*> restano;  // the clean-up stopped before these
    std::vector<const char*> tolti;    // and after these
    friend void PrintTo(const CasoBlocco& c, std::ostream* os) { *os << c.nome; }
};

class BlockedCleanup : public ::testing::TestWithParam<CasoBlocco> {};

TEST_P(BlockedCleanup, EndsAt119AfterTheMessage) {
    const auto& c = GetParam();
    Corsa corsa;
    PreparaFileDiLavoro(corsa);
    corsa.drive.Scrivi(c.bloccato, "bloccato");
    std::unique_ptr<Immutabile> blocco;
    if (c.immutabile) {
        blocco = std::make_unique<Immutabile>(corsa.drive.Host(c.bloccato));
        if (!blocco->Riuscito()) GTEST_SKIP() << "this file system or user cannot make a file immutable";
    }
    corsa.Esegui();
    ASSERT_EQ(corsa.ui.riquadri.size(), 2u);
    EXPECT_EQ(corsa.ui.riquadri[0].icona, Icona::Informazione);
    EXPECT_EQ(corsa.ui.riquadri[1].icona, Icona::Stop);
    EXPECT_EQ(corsa.ui.riquadri[1].testo,
              std::string("Errore nell'installazione ") + c.codice + "\r\nImpossibile proseguire.");
    for (const char* r : c.restano) EXPECT_TRUE(corsa.drive.Esiste(r)) << r;
    for (const char* t : c.tolti) EXPECT_FALSE(corsa.drive.Esiste(t)) << t;
    // The failure is in the log, even when the clean-up had deleted it
    // already: the record opens a new one rather than be lost.
    auto log = corsa.Messaggi();
    ASSERT_FALSE(log.empty());
    EXPECT_TRUE(log.back().starts_with(std::string("Installazione\r\n") + c.codice + " ")) << log.back();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlockedCleanup,
    ::testing::Values(
        CasoBlocco{"FileDiLavoro", "Setup/Transito.zip", true, "70.119",
                   {"Setup/Scaricatore.exe", "Setup/files/fulcro.ttf"},
                   {"Setup/Lista.txt", "Setup/unzip.exe", "Setup/LogScarico.txt", "Setup/ScaricoInCorso.max"}},
        CasoBlocco{"FileInDirFiles", "Setup/files/zz.dat", true, "70.119", {"Setup/files"},
                   {"Setup/Scaricatore.exe", "Setup/files/fulcro.ttf"}},
        CasoBlocco{"FileInSottocartella", "Setup/files/dati/a.dat", true, "70.119", {"Setup/files/dati"},
                   {"Setup/files/fulcro.ttf"}},
        CasoBlocco{"FileNascosto", "Setup/files/.nascosto", false, "75.119", {"Setup/files/.nascosto"},
                   {"Setup/files/fulcro.ttf"}}),
    [](const ::testing::TestParamInfo<CasoBlocco>& i) { return std::string(i.param.nome); });

// ---- Font by version ----------------------------------------------------------

TEST(Font, Version5CopiesDirectly) {
    Corsa corsa(5);
    corsa.Esegui();
    EXPECT_EQ(corsa.drive.Leggi("Windows/Fonts/fulcro.ttf"), "font TrueType");
    EXPECT_FALSE(posix::LeggiValoreRegistro("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                                            "Fulcro (True Type)"))
        << "no batch below version 6";
}

TEST(Font, Version5PassesOverAMissingFont) {
    Corsa corsa(5);
    fs::remove(corsa.drive.Host("Setup/files/fulcro.ttf"));
    corsa.Esegui();
    const auto log = corsa.MessaggiCompleti();
    ASSERT_EQ(corsa.ui.riquadri.size(), 1u) << "no failure box for the font";
    auto i = std::find(log.begin(), log.end(), "Copio il font in C:\\Windows\\Fonts");
    ASSERT_NE(i, log.end());
    ASSERT_GE(log.end() - i, 3);
    EXPECT_EQ(i[1], "Installazione\r\n53.90 Impossibile trovare il file");
    EXPECT_EQ(i[2], "Avvio creazione del link");
}

TEST(Font, Version6TheBatchInstallsAndRegisters) {
    Corsa corsa(6);
    corsa.Esegui();
    const auto log = corsa.MessaggiCompleti();
    auto i = std::find(log.begin(), log.end(), "Installazione del font");
    ASSERT_NE(i, log.end());
    EXPECT_EQ(i[1], "Installo il font");
    EXPECT_EQ(i[2], "Avvio creazione del link");
    // The clean-up waited for the batch, so both of its effects are there.
    EXPECT_EQ(corsa.drive.Leggi("Windows/Fonts/fulcro.ttf"), "font TrueType");
    auto valore = posix::LeggiValoreRegistro("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                                             "Fulcro (True Type)");
    ASSERT_TRUE(valore);
    EXPECT_EQ(valore->tipo, "REG_SZ");
    EXPECT_EQ(valore->dati, "fulcro.ttf");
    EXPECT_FALSE(corsa.drive.Esiste("Setup/files"));
}

// ---- Shortcuts ----------------------------------------------------------------

TEST(Shortcuts, LnkinfoReadsBoth) {
    if (!std::filesystem::exists("/usr/bin/lnkinfo")) GTEST_SKIP() << "lnkinfo (liblnk-utils) is not installed";
    Corsa corsa;
    corsa.Esegui();
    for (const char* lnk : {"Users/Public/Desktop/NOCE.lnk",
                            "ProgramData/Microsoft/Windows/Start Menu/Programs/Fulcro/NOCE.lnk"}) {
        ASSERT_TRUE(corsa.drive.Esiste(lnk)) << lnk;
        auto esito = prova::Lnkinfo(corsa.drive.Host(lnk));
        std::string uscita = esito.uscita + esito.errori;
        EXPECT_NE(uscita.find("c:\\noce\\noce.exe"), std::string::npos) << lnk << "\n" << uscita;
    }
}

}  // namespace
}  // namespace noce
