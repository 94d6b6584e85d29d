// Windows paths on the host: drives, letter case, and the file services.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/Sistema.h"
#include "platform/posix/Percorsi.h"
#include "support/DriveDiProva.h"

namespace noce {
namespace {

namespace fs = std::filesystem;
using posix::PercorsoHost;
using posix::PercorsoWindows;

TEST(Percorsi, Resolution) {
    prova::DriveDiProva drive;
    drive.Scrivi("Setup/Files/Lista.txt", "x");
    drive.Scrivi("Setup/Files/Sub/uno.dat", "x");
    drive.Scrivi("Doppio/ABC", "maiuscolo");
    drive.Scrivi("Doppio/abc", "minuscolo");
    drive.Scrivi("Città/Già.txt", "x");
    const std::string& c = drive.Radice();
    struct Caso {
        const char* windows;
        std::string host;
    };
    const std::vector<Caso> casi = {
        {"C:\\Setup\\files\\lista.txt", c + "/Setup/Files/Lista.txt"},
        {"c:\\SETUP\\FILES\\LISTA.TXT", c + "/Setup/Files/Lista.txt"},
        {"C:\\Setup\\Files\\", c + "/Setup/Files"},
        {"c:/setup/files/sub/UNO.DAT", c + "/Setup/Files/Sub/uno.dat"},
        {"C:\\Setup\\.\\files\\..\\Files\\Lista.txt", c + "/Setup/Files/Lista.txt"},
        {"C:\\..\\..\\Setup", c + "/Setup"},  // never above the drive's root
        {"C:\\Setup\\Nuova\\Cartella", c + "/Setup/Nuova/Cartella"},  // new names keep their spelling
        {"C:\\Doppio\\abc", c + "/Doppio/abc"},  // the exact spelling wins
        {"C:\\Doppio\\Abc", c + "/Doppio/ABC"},  // otherwise the first in byte order
        {"C:\\CITTÀ\\GIÀ.TXT", c + "/Città/Già.txt"},
        {"C:", c},
        {"z:\\tmp", "/tmp"},
        {"Z:\\", "/"},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.windows);
        EXPECT_EQ(PercorsoHost(k.windows), k.host);
    }
    EXPECT_EQ(PercorsoWindows(c + "/Setup/Files"), "C:\\Setup\\Files");
    EXPECT_EQ(PercorsoWindows(c), "C:\\");
    EXPECT_EQ(PercorsoWindows("/usr/bin"), "Z:\\usr\\bin");
}

TEST(Percorsi, FolderAndFileTests) {
    prova::DriveDiProva drive;
    drive.Scrivi("Setup/files/noce.exe", "x");
    drive.Scrivi("Setup/files/.nascosto", "x");
    fs::create_directories(drive.Host("Setup/Cartella"));
    fs::create_symlink(drive.Host("Setup/files/noce.exe"), drive.Host("Setup/collegamento"));
    mkfifo(drive.Host("Setup/coda").c_str(), 0644);
    struct Caso {
        const char* percorso;
        bool cartella, file;
    };
    const std::vector<Caso> casi = {
        {"C:\\Setup\\Files\\NOCE.EXE", true, true},   // a plain file passes the folder test too
        {"C:\\Setup\\cartella", true, false},
        {"C:\\Setup\\files\\.nascosto", true, false},  // hidden
        {"C:\\Setup\\coda", false, false},              // neither file nor folder
        {"C:\\Setup\\collegamento", true, true},        // a link stands for what it names
        {"C:\\Setup\\manca", false, false},
        {"C:\\Setup\\files\\noce.exe\\sotto", false, false},  // a plain file where a folder is expected
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.percorso);
        EXPECT_EQ(sistema::EsisteCartella(k.percorso), k.cartella);
        EXPECT_EQ(sistema::EsisteFile(k.percorso), k.file);
    }
}

int Errore(const std::function<void()>& f) {
    try {
        f();
    } catch (const ErroreRuntime& e) {
        return static_cast<int>(e.Numero());
    }
    return 0;
}

TEST(Percorsi, FileServicesAndTheirFailures) {
    prova::DriveDiProva drive;
    drive.Scrivi("Setup/files/a.txt", "contenuto");
    drive.Scrivi("Setup/piano", "un file");
    using namespace sistema;
    struct Caso {
        const char* nome;
        std::function<void()> azione;
        int errore;
    };
    const std::vector<Caso> casi = {
        {"MkDir keeps the given spelling", [] { CreaCartella("C:\\Setup\\Nuova"); }, 0},
        {"MkDir of an existing name", [] { CreaCartella("C:\\SETUP\\NUOVA"); }, err::ErroreAccesso},
        {"MkDir over a plain file", [] { CreaCartella("C:\\Setup\\piano"); }, err::ErroreAccesso},
        {"MkDir without its parent", [] { CreaCartella("C:\\Setup\\manca\\sotto"); }, err::PercorsoNonTrovato},
        {"MkDir under a plain file", [] { CreaCartella("C:\\Setup\\piano\\sotto"); }, err::PercorsoNonTrovato},
        {"FileCopy", [] { CopiaFile("C:\\setup\\FILES\\A.TXT", "C:\\Setup\\Nuova\\b.txt"); }, 0},
        {"FileCopy replaces", [] { CopiaFile("C:\\Setup\\piano", "C:\\Setup\\Nuova\\B.TXT"); }, 0},
        {"FileCopy of a missing file", [] { CopiaFile("C:\\Setup\\manca", "C:\\Setup\\x"); }, err::FileNonTrovato},
        {"FileCopy into a missing folder", [] { CopiaFile("C:\\Setup\\piano", "C:\\manca\\x"); }, err::PercorsoNonTrovato},
        {"FileCopy onto a folder", [] { CopiaFile("C:\\Setup\\piano", "C:\\Setup\\Nuova"); }, err::ErroreAccesso},
        {"Kill of a missing file", [] { EliminaFile("C:\\Setup\\manca"); }, err::FileNonTrovato},
        {"Kill of a folder", [] { EliminaFile("C:\\Setup\\Nuova"); }, err::FileNonTrovato},
        {"RmDir of a folder with files", [] { RimuoviCartella("C:\\Setup\\nuova"); }, err::ErroreAccesso},
        {"Kill", [] { EliminaFile("C:\\Setup\\nuova\\b.txt"); }, 0},
        {"RmDir", [] { RimuoviCartella("C:\\Setup\\NUOVA"); }, 0},
        {"RmDir of a missing folder", [] { RimuoviCartella("C:\\Setup\\Nuova"); }, err::PercorsoNonTrovato},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        EXPECT_EQ(Errore(k.azione), k.errore);
        if (std::string(k.nome) == "MkDir keeps the given spelling") {
            EXPECT_TRUE(fs::is_directory(drive.Host("Setup/Nuova")));
        }
        if (std::string(k.nome) == "FileCopy replaces") {
            EXPECT_EQ(drive.Leggi("Setup/Nuova/b.txt"), "un file");
        }
    }
    EXPECT_FALSE(drive.Esiste("Setup/Nuova"));
    // Nothing is left beside a copy's destination, under any name.
    EXPECT_EQ(std::distance(fs::directory_iterator(drive.Host("Setup")), fs::directory_iterator{}), 2);
}

// A folder's listing is kept between case-blind lookups. Each step changes
// the folder, by the installer's own calls or behind its back, and the
// next lookup must see the folder as it is. The folder is aged before each
// step: the listing of a folder changed a moment ago is not kept at all.
TEST(Percorsi, KeptListingsFollowEveryChange) {
    prova::DriveDiProva drive;
    drive.Scrivi("Dest/zeta.txt", "x");
    drive.Scrivi("Setup/a.txt", "a");
    const std::string dest = drive.Host("Dest");
    auto invecchia = [&] {
        struct timespec t[2] = {{1000000000, 0}, {1000000000, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, dest.c_str(), t, 0), 0);
    };
    struct Passo {
        const char* nome;
        std::function<void()> cambia;
        const char* cercato;
        std::string atteso;
    };
    const std::vector<Passo> passi = {
        {"nothing yet", [] {}, "C:\\Dest\\NUOVO.TXT", dest + "/NUOVO.TXT"},
        {"a copy", [] { sistema::CopiaFile("C:\\Setup\\a.txt", "C:\\Dest\\Nuovo.txt"); }, "C:\\Dest\\NUOVO.TXT",
         dest + "/Nuovo.txt"},
        {"a folder", [] { sistema::CreaCartella("C:\\Dest\\Sotto"); }, "C:\\DEST\\SOTTO", dest + "/Sotto"},
        {"a copy onto another spelling replaces", [] { sistema::CopiaFile("C:\\Setup\\a.txt", "C:\\Dest\\NUOVO.txt"); },
         "C:\\Dest\\nuovo.TXT", dest + "/Nuovo.txt"},
        {"a deletion", [] { sistema::EliminaFile("C:\\Dest\\nuovo.txt"); }, "C:\\Dest\\NUOVO.TXT", dest + "/NUOVO.TXT"},
        {"a folder removed", [] { sistema::RimuoviCartella("C:\\Dest\\Sotto"); }, "C:\\DEST\\SOTTO", dest + "/SOTTO"},
        {"a file made by someone else", [&] { drive.Scrivi("Dest/Estraneo.txt", "x"); }, "C:\\Dest\\ESTRANEO.TXT",
         dest + "/Estraneo.txt"},
        {"renamed by someone else",
         [&] { fs::rename(drive.Host("Dest/Estraneo.txt"), drive.Host("Dest/Altro.txt")); }, "C:\\Dest\\ESTRANEO.TXT",
         dest + "/ESTRANEO.TXT"},
        {"more spellings: the first in byte order",
         [&] {
             drive.Scrivi("Dest/altro.TXT", "x");
             drive.Scrivi("Dest/ALTRO.txt", "x");
         },
         "C:\\Dest\\altro.txt", dest + "/ALTRO.txt"},
        {"the first deleted, the next", [] { sistema::EliminaFile("C:\\Dest\\ALTRO.txt"); }, "C:\\Dest\\altro.txt",
         dest + "/Altro.txt"},
    };
    for (const auto& p : passi) {
        SCOPED_TRACE(p.nome);
        invecchia();
        PercorsoHost(p.cercato);  // the listing is read and kept
        p.cambia();
        EXPECT_EQ(PercorsoHost(p.cercato), p.atteso);
    }
    EXPECT_EQ(drive.Leggi("Setup/a.txt"), "a") << "a copy leaves its source";
}

TEST(Percorsi, FileListsShowPlainVisibleFilesOnly) {
    prova::DriveDiProva drive;
    for (const char* n : {"b.txt", "A.txt", "c.TXT", ".nascosto", "sotto/d.txt"}) drive.Scrivi(std::string("Setup/files/") + n, "x");
    fs::create_symlink(drive.Host("Setup"), drive.Host("Setup/files/fuori"));
    // A link is listed as a file, so deleting by name removes the link and
    // never what it points at; it is never a sub-folder to descend into.
    EXPECT_EQ(sistema::ElencoFile("C:\\Setup\\Files"), (std::vector<std::string>{"A.txt", "b.txt", "c.TXT", "fuori"}));
    EXPECT_EQ(sistema::ElencoCartelle("C:\\Setup\\Files"), (std::vector<std::string>{"sotto"}));
}

TEST(Percorsi, TextFilesAreWindows1252) {
    prova::DriveDiProva drive;
    drive.Scrivi("Setup/lista.txt", "gi\xE0\r\n\x80uro\rLF\nqui");
    EXPECT_EQ(sistema::LeggiTesto("C:\\Setup\\LISTA.TXT"), "già\r\n€uro\rLF\nqui");
    sistema::ScriviTesto("C:\\Setup\\out.txt", "perché € ✓\r\n");
    EXPECT_EQ(drive.Leggi("Setup/out.txt"), "perch\xE9 \x80 ?\r\n");
    sistema::ScriviTesto("C:\\Setup\\out.txt", "");
    EXPECT_EQ(drive.Leggi("Setup/out.txt"), "");
}

}  // namespace
}  // namespace noce
