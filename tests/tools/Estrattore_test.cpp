// The extractor on archives made here: names that try to leave the target
// folder or that Windows cannot hold, damaged and hostile entries, files
// already present, sub-folders, modes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include "support/Processi.h"
#include "ZipDiProva.h"
#include "platform/posix/Percorsi.h"
#include "support/DriveDiProva.h"
#include "support/FileDiProva.h"

namespace {

namespace fs = std::filesystem;
using strumenti::CreaZip;
using strumenti::VoceZip;

class Estrattore : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(drive.Host("Setup/files")); }

    int Estrai(const std::vector<VoceZip>& voci, std::vector<std::string> opzioni = {"-o"}) {
        EXPECT_TRUE(CreaZip(drive.Host("Setup/Transito.zip"), voci));
        return Esegui(opzioni);
    }
    // The command line as the installer writes it (the extractor sees it
    // split and unquoted).
    int Esegui(std::vector<std::string> opzioni = {"-o"}) {
        std::vector<std::string> riga = {NOCE_UNZIP};
        riga.insert(riga.end(), opzioni.begin(), opzioni.end());
        riga.insert(riga.end(), {"C:\\Setup\\transito.zip", "-d", "C:\\Setup\\files"});
        return strumenti::Esegui(riga, {}, std::chrono::seconds(30), drive.Host("errori.txt"));
    }
    // Every file and folder under `radice`, with the contents of the files.
    static std::map<std::string, std::string> Albero(const std::string& radice) {
        std::map<std::string, std::string> a;
        for (auto it = fs::recursive_directory_iterator(radice); it != fs::recursive_directory_iterator(); ++it) {
            std::string rel = fs::relative(it->path(), radice);
            a[rel] = it->is_regular_file() && !it->is_symlink() ? noce::prova::LeggiFile(it->path()) : "<cartella>";
        }
        return a;
    }
    std::map<std::string, std::string> Cartella() const { return Albero(drive.Host("Setup/files")); }

    // `unshare` with namespaces of its own: as root directly, through a user
    // namespace otherwise.
    static std::vector<std::string> Isolato(std::vector<std::string> spazi) {
        spazi.insert(spazi.begin(), "/usr/bin/unshare");
        if (geteuid() != 0) spazi.insert(spazi.begin() + 1, "-r");
        return spazi;
    }
    // The extractor run on the archive with the target folder on a fresh
    // tmpfs of `kib` KiB, in a mount namespace that goes with it; what it
    // left there is copied to Setup/copia. 97 when no tmpfs can be mounted.
    int EseguiSuDiscoPiccolo(int kib, const std::string& opzioni = "") {
        const std::string script =
            "mount -t tmpfs -o size=" + std::to_string(kib) + "k" + opzioni + " noce \"$1\" || exit 97; "
            "d=$1 c=$2; shift 2; \"$@\"; rc=$?; mkdir -p \"$c\"; cp -a \"$d\"/. \"$c\"; exit $rc";
        std::vector<std::string> riga = Isolato({"-m", "sh", "-c", script, "sh", drive.Host("Setup/files"),
                                                 drive.Host("Setup/copia"), NOCE_UNZIP, "-o",
                                                 "C:\\Setup\\Transito.zip", "-d", "C:\\Setup\\files"});
        return strumenti::Esegui(riga, {}, std::chrono::seconds(60), drive.Host("errori.txt"));
    }

    noce::prova::DriveDiProva drive;
};

TEST_F(Estrattore, EntriesLeavingTheFolderAreRefusedAndTheOthersExtracted) {
    const std::string fuoriAssoluto = fs::path(drive.Radice()).parent_path() / "assoluto.txt";
    const std::vector<std::string> nomi = {
        "../fuori.txt",        "..\\fuori.txt",     "sub/../../fuori.txt", "sub\\..\\..\\fuori.txt",
        "sub/..\\../fuori.txt", "..",               fuoriAssoluto,         "\\fuori.txt",
        "c:\\fuori.txt",       "C:/fuori.txt",      "c:fuori.txt",         "sub\\...\\..\\fuori.txt",
        ".. \\fuori.txt",      "sub\\. .\\fuori.txt", "sub/a:b.txt",
    };
    for (const auto& nome : nomi) {
        SCOPED_TRACE(nome);
        fs::remove_all(drive.Host("Setup/files"));
        fs::create_directories(drive.Host("Setup/files/sub"));
        auto primaFuori = Albero(drive.Radice());
        primaFuori.erase("Setup/Transito.zip");
        primaFuori.erase("errori.txt");
        EXPECT_EQ(Estrai({{nome, "cattivo"}, {"buono.txt", "buono"}}), 1);
        auto dopo = Albero(drive.Radice());
        dopo.erase("Setup/Transito.zip");
        dopo.erase("errori.txt");
        dopo.erase("Setup/files/buono.txt");
        EXPECT_EQ(dopo, primaFuori);
        EXPECT_EQ(noce::prova::LeggiFile(drive.Host("Setup/files/buono.txt")), "buono");
        EXPECT_FALSE(fs::exists(fuoriAssoluto));
        EXPECT_FALSE(fs::exists(fs::path(drive.Radice()).parent_path() / "fuori.txt"));
        EXPECT_NE(noce::prova::LeggiFile(drive.Host("errori.txt")).find("rifiutato"), std::string::npos);
    }
}

TEST_F(Estrattore, ALinkInTheFolderDoesNotLeadOutside) {
    const fs::path fuori = fs::path(drive.Radice()).parent_path() / "altrove";
    fs::create_directories(fuori);
    fs::create_directory_symlink(fuori, drive.Host("Setup/files/link"));
    EXPECT_EQ(Estrai({{"link/x.txt", "cattivo"}, {"buono.txt", "buono"}}), 2);
    EXPECT_TRUE(fs::is_empty(fuori));
    EXPECT_EQ(noce::prova::LeggiFile(drive.Host("Setup/files/buono.txt")), "buono");
}

TEST_F(Estrattore, ADamagedEntryLeavesNothingUnderItsName) {
    struct Caso {
        bool comprimi;
        bool presente;  // an older file of that name is already there
    };
    for (const Caso& caso : {Caso{false, false}, Caso{false, true}, Caso{true, false}, Caso{true, true}}) {
        SCOPED_TRACE(std::string(caso.comprimi ? "deflate" : "store") + (caso.presente ? ", presente" : ""));
        fs::remove_all(drive.Host("Setup/files"));
        fs::create_directories(drive.Host("Setup/files"));
        if (caso.presente) drive.Scrivi("Setup/files/rotto.dat", "vecchio");
        std::string dati;
        for (int i = 0; i < 20000; ++i) dati += std::to_string(i * 7919 % 10007) + ";";
        ASSERT_TRUE(CreaZip(drive.Host("Setup/Transito.zip"),
                            {{"rotto.dat", dati, caso.comprimi}, {"sano.txt", "sano", caso.comprimi}}));
        ASSERT_TRUE(strumenti::DanneggiaPrimaVoce(drive.Host("Setup/Transito.zip")));
        EXPECT_EQ(Esegui(), 2);
        std::map<std::string, std::string> attesa = {{"sano.txt", "sano"}};
        if (caso.presente) attesa["rotto.dat"] = "vecchio";
        EXPECT_EQ(Cartella(), attesa);  // no temporary file either
    }
}

TEST_F(Estrattore, WithDashOAPresentFileIsReplacedWhateverItsCase) {
    struct Caso {
        std::vector<std::string> opzioni;
        const char* atteso;
    };
    for (const Caso& caso : {Caso{{"-o"}, "nuovo"}, Caso{{}, "vecchio"}, Caso{{"-n"}, "vecchio"}}) {
        SCOPED_TRACE(caso.atteso);
        fs::remove_all(drive.Host("Setup/files"));
        drive.Scrivi("Setup/files/LEGGIMI.txt", "vecchio");
        ASSERT_TRUE(CreaZip(drive.Host("Setup/Transito.zip"), {{"leggimi.txt", "nuovo"}}));
        EXPECT_EQ(Esegui(caso.opzioni), 0);
        EXPECT_EQ(Cartella(), (std::map<std::string, std::string>{{"LEGGIMI.txt", caso.atteso}}));
    }
}

TEST_F(Estrattore, SubfoldersAreMadeAndFoundWhateverTheirCase) {
    fs::create_directories(drive.Host("Setup/files/DATI"));
    EXPECT_EQ(Estrai({{"Dati\\esempio.dat", "esempio"},
                      {"dati/Archivi/clienti.dat", "clienti"},
                      {"Nuova\\Sotto\\x.txt", "x"},
                      {"Vuota/", ""},
                      {"./radice.txt", "radice"}}),
              0);
    EXPECT_EQ(Cartella(), (std::map<std::string, std::string>{{"DATI", "<cartella>"},
                                                              {"DATI/esempio.dat", "esempio"},
                                                              {"DATI/Archivi", "<cartella>"},
                                                              {"DATI/Archivi/clienti.dat", "clienti"},
                                                              {"Nuova", "<cartella>"},
                                                              {"Nuova/Sotto", "<cartella>"},
                                                              {"Nuova/Sotto/x.txt", "x"},
                                                              {"Vuota", "<cartella>"},
                                                              {"radice.txt", "radice"}}));
}

TEST_F(Estrattore, AFileWhereAFolderBelongsStopsOnlyItsEntries) {
    drive.Scrivi("Setup/files/Dati", "un file, non una cartella");
    EXPECT_EQ(Estrai({{"Dati/x.txt", "x"}, {"altro.txt", "altro"}}), 2);
    EXPECT_EQ(Cartella(), (std::map<std::string, std::string>{{"Dati", "un file, non una cartella"},
                                                              {"altro.txt", "altro"}}));
}

TEST_F(Estrattore, MissingDestinationFoldersAreMade) {
    ASSERT_TRUE(CreaZip(drive.Host("Setup/Transito.zip"), {{"a.txt", "a"}}));
    std::vector<std::string> riga = {NOCE_UNZIP, "-o", "C:\\Setup\\Transito.zip", "-d", "C:\\Setup\\Nuova\\Cartella"};
    EXPECT_EQ(strumenti::Esegui(riga), 0);
    EXPECT_EQ(noce::prova::LeggiFile(drive.Host("Setup/Nuova/Cartella/a.txt")), "a");
}

TEST_F(Estrattore, TheExitStatusesAreInfoZips) {
    struct Caso {
        const char* nome;
        std::string contenutoArchivio;  // empty: no archive at all
        std::vector<std::string> riga;  // after the program
        int atteso;
    };
    std::string zip;
    {
        ASSERT_TRUE(CreaZip(drive.Host("modello.zip"), {{"a.txt", "a"}}));
        zip = noce::prova::LeggiFile(drive.Host("modello.zip"));
    }
    const std::vector<Caso> casi = {
        {"archivio mancante", "", {"-o", "C:\\Setup\\transito.zip", "-d", "C:\\Setup\\files"}, 9},
        {"non è uno zip", "testo qualsiasi", {"-o", "C:\\Setup\\transito.zip", "-d", "C:\\Setup\\files"}, 9},
        {"archivio troncato", zip.substr(0, zip.size() / 2), {"-o", "C:\\Setup\\transito.zip", "-d", "C:\\Setup\\files"}, 9},
        {"nessun argomento", zip, {}, 10},
        {"opzione sconosciuta", zip, {"-z", "C:\\Setup\\transito.zip"}, 10},
        {"-d senza cartella", zip, {"C:\\Setup\\transito.zip", "-d"}, 10},
        {"nessun nome corrisponde", zip, {"-o", "C:\\Setup\\transito.zip", "b*.txt", "-d", "C:\\Setup\\files"}, 11},
        {"nome che corrisponde", zip, {"-o", "C:\\Setup\\transito.zip", "a*", "-d", "C:\\Setup\\files"}, 0},
        {"senza estensione", zip, {"-o", "C:\\Setup\\transito", "-d", "C:\\Setup\\files"}, 0},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        fs::remove(drive.Host("Setup/Transito.zip"));
        if (!caso.contenutoArchivio.empty()) drive.Scrivi("Setup/Transito.zip", caso.contenutoArchivio);
        std::vector<std::string> riga = {NOCE_UNZIP};
        riga.insert(riga.end(), caso.riga.begin(), caso.riga.end());
        EXPECT_EQ(strumenti::Esegui(riga), caso.atteso);
    }
}

TEST_F(Estrattore, FilesGetOrdinaryModesUnderTheUmask) {
    struct Caso {
        std::optional<unsigned> modo;  // Unix mode in the archive; none: an MS-DOS entry
        mode_t umask;
        unsigned atteso;
    };
    const std::vector<Caso> casi = {
        {0100777, 022, 0755}, {0100666, 022, 0644}, {0104750, 022, 0755}, {0100600, 022, 0644},
        {0100700, 077, 0700}, {0100644, 027, 0640}, {std::nullopt, 022, 0644},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(std::to_string(caso.modo.value_or(0)) + " umask " + std::to_string(caso.umask));
        fs::remove_all(drive.Host("Setup/files"));
        ASSERT_TRUE(CreaZip(drive.Host("Setup/Transito.zip"), {{"noce.exe", "#!/bin/sh\n"}}));
        int errore = 0;
        zip_t* z = zip_open(drive.Host("Setup/Transito.zip").c_str(), 0, &errore);
        ASSERT_NE(z, nullptr);
        if (caso.modo) zip_file_set_external_attributes(z, 0, 0, ZIP_OPSYS_UNIX, *caso.modo << 16);
        else zip_file_set_external_attributes(z, 0, 0, ZIP_OPSYS_DOS, 0x20);
        ASSERT_EQ(zip_close(z), 0);
        mode_t prima = umask(caso.umask);
        int esito = Esegui();
        umask(prima);
        EXPECT_EQ(esito, 0);
        struct stat st {};
        ASSERT_EQ(stat(drive.Host("Setup/files/noce.exe").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, caso.atteso);
    }
}

TEST_F(Estrattore, NamesWindowsCannotHoldAreRefusedAndTheirLookalikesKept) {
    struct Caso {
        const char* nome;
        bool rifiutato;
    };
    const std::vector<Caso> casi = {
        {"CON", true},           {"aux.txt", true},    {"Nul.tar.gz", true},   {"com1.log", true},
        {"LPT9", true},          {"prn .txt", true},   {"sub/CoM3/x.txt", true}, {"nome.", true},
        {"nome ", true},         {"sub. \\x.txt", true}, {"a<b", true},        {"a|b.txt", true},
        {"chi?.txt", true},      {"CONSOLE.txt", false}, {"com10.txt", false}, {"lpt0.txt", false},
        {"aux_.txt", false},     {"com.txt", false},  {".nascosto", false},   {"a.b.c", false},
        {"sub/nul.d/x", true},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        fs::remove_all(drive.Host("Setup/files"));
        fs::create_directories(drive.Host("Setup/files"));
        EXPECT_EQ(Estrai({{caso.nome, "voce"}, {"buono.txt", "buono"}}), caso.rifiutato ? 1 : 0);
        auto dentro = Cartella();
        EXPECT_EQ(dentro.erase("buono.txt"), 1u);
        EXPECT_EQ(dentro.empty(), caso.rifiutato);
        EXPECT_EQ(noce::prova::LeggiFile(drive.Host("errori.txt")).find("rifiutato") != std::string::npos, caso.rifiutato);
    }
}

// Archives made to write more than they hold, unpacked into a 1 MiB disk:
// each is stopped before it writes more than it declares, or refused before
// anything is written.
TEST_F(Estrattore, HostileArchivesWriteNoMoreThanTheyDeclareAndFit) {
    struct Caso {
        const char* nome;
        std::function<void(const std::string&)> prepara;  // writes the archive
        int atteso;
        const char* messaggio;
        std::map<std::string, std::string> resta;
        const char* opzioni = "";  // of the tmpfs
    };
    const std::string kib200(200 * 1024, 'x'), kib600(600 * 1024, 'y');
    std::vector<Caso> casi = {
        {"it fits",
         [&](const std::string& p) { CreaZip(p, {{"a", kib200}, {"b", kib200}, {"c/d", kib200}}); },
         0, "", {{"a", kib200}, {"b", kib200}, {"c", "<cartella>"}, {"c/d", kib200}}},
        {"declared total beyond the free space",
         [&](const std::string& p) { CreaZip(p, {{"a", "a"}, {"b", kib600}, {"c", kib600}}); },
         50, "spazio insufficiente", {}},
        {"the disk filling up all the same (no inodes left)",
         [&](const std::string& p) { CreaZip(p, {{"a", "a"}, {"b", "b"}, {"c", "c"}, {"d", "d"}, {"e", "e"}}); },
         50, "scrittura di", {{"a", "a"}, {"b", "b"}}, ",nr_inodes=3"},
        {"an entry inflating past its declared size",
         [&](const std::string& p) {
             CreaZip(p, {{"bomba", std::string(64 << 20, '\0')}, {"buono.txt", "buono"}});
             strumenti::DichiaraDimensione(p, 1000);
         },
         2, "supera la dimensione dichiarata", {{"buono.txt", "buono"}}},
        {"2000 entries on the same data",
         [&](const std::string& p) {
             CreaZip(p, {{"a", std::string(1 << 20, '\0')}});
             strumenti::SovrapponiVoci(p, 2000);
         },
         12, "condividono i dati", {}},
        {"an entry starting inside another's data",
         [&](const std::string& p) {
             CreaZip(p, {{"a", kib200, false}, {"b", "b", false}});
             strumenti::SovrapponiVoci(p, 0);
         },
         12, "condividono i dati", {}},
    };
    // The overlap check reads the central directory itself: in its Zip64
    // form too, where a misread size or offset would refuse a sound archive
    // or miss an overlap.
    for (std::size_t i : {0, 5}) {
        Caso zip64 = casi[i];
        zip64.prepara = [prepara = casi[i].prepara](const std::string& p) {
            prepara(p);
            strumenti::InZip64(p);
        };
        casi.push_back(zip64);
    }
    for (const Caso& caso : casi) {
        SCOPED_TRACE(std::string(caso.nome) + (&caso - casi.data() >= 6 ? ", Zip64" : ""));
        fs::remove_all(drive.Host("Setup/copia"));
        caso.prepara(drive.Host("Setup/Transito.zip"));
        int esito = EseguiSuDiscoPiccolo(1024, caso.opzioni);
        if (esito == 97) GTEST_SKIP() << "no tmpfs can be mounted here: needs root or user namespaces";
        EXPECT_EQ(esito, caso.atteso);
        EXPECT_NE(noce::prova::LeggiFile(drive.Host("errori.txt")).find(caso.messaggio), std::string::npos);
        EXPECT_EQ(Albero(drive.Host("Setup/copia")), caso.resta);
    }
}

// In a PID namespace of its own the extractor is process 1, so the names of
// its temporary files are known beforehand, and links can wait under them.
TEST_F(Estrattore, ALinkPlantedUnderTheTemporaryNameIsNeverWrittenThrough) {
    const std::string fuori = drive.Host("fuori.txt");
    drive.Scrivi("fuori.txt", "intatto");
    for (int i = 0; i < 4; ++i) fs::create_symlink(fuori, drive.Host("Setup/files/.unzip-1-" + std::to_string(i)));
    ASSERT_TRUE(CreaZip(drive.Host("Setup/Transito.zip"), {{"a.txt", "nuovo"}}));
    std::vector<std::string> riga = Isolato({"-p", "-f"});
    riga.insert(riga.end(), {NOCE_UNZIP, "-o", "C:\\Setup\\Transito.zip", "-d", "C:\\Setup\\files"});
    int esito = strumenti::Esegui(riga, {}, std::chrono::seconds(30), drive.Host("errori.txt"));
    if (esito != 0 && noce::prova::LeggiFile(drive.Host("errori.txt")).find("unshare") != std::string::npos)
        GTEST_SKIP() << "no PID namespace here: " << noce::prova::LeggiFile(drive.Host("errori.txt"));
    EXPECT_EQ(esito, 0);
    EXPECT_EQ(noce::prova::LeggiFile(fuori), "intatto");
    EXPECT_EQ(noce::prova::LeggiFile(drive.Host("Setup/files/a.txt")), "nuovo");
}

}  // namespace
