// The whole pipeline with the real programs: INSTALLA fetches the built
// downloader from noce-server over the installer's own request, the cycle
// starts it for the list, the extractor and the archive, unpacks, and hands
// over to the installation run.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "Installatore.h"
#include "support/FileDiProva.h"
#include "support/ServerNoce.h"

extern char** environ;

namespace noce::prova {

namespace fs = std::filesystem;

namespace {

// The server's content in a folder of the test: the built downloader, the
// demo list, extractor and archive, less what a test leaves out.
fs::path Contenuti(const fs::path& dove, const std::vector<std::string>& senza = {}) {
    const fs::path origine = fs::path(NOCE_CONTENUTI_SERVER) / "download";
    fs::create_directories(dove / "download");
    fs::copy_file(NOCE_SCARICATORE, dove / "download/scaricatore.exe");
    for (const char* nome : {"lista.txt", "unzip.exe", "FulcroNoceFiles.zip"})
        if (std::find(senza.begin(), senza.end(), nome) == senza.end()) fs::copy_file(origine / nome, dove / "download" / nome);
    return dove;
}

// Every file under a folder, by its path below it, with its bytes.
std::map<std::string, std::string> Albero(const fs::path& cartella, const std::string& salvo = "") {
    std::map<std::string, std::string> file;
    for (const auto& e : fs::recursive_directory_iterator(cartella)) {
        if (!e.is_regular_file()) continue;
        std::string relativo = fs::relative(e.path(), cartella).string();
        if (relativo != salvo) file[relativo] = prova::LeggiFile(e.path());
    }
    return file;
}

// What the archive holds, as Info-ZIP unpacks it.
std::map<std::string, std::string> ContenutoArchivio(const fs::path& lavoro) {
    const fs::path riferimento = lavoro / "riferimento";
    fs::create_directories(riferimento);
    std::string comando = "unzip -qq -o '" + (fs::path(NOCE_CONTENUTI_SERVER) / "download/FulcroNoceFiles.zip").string() +
                          "' -d '" + riferimento.string() + "'";
    EXPECT_EQ(std::system(comando.c_str()), 0);
    return Albero(riferimento);
}

struct CicloReale {
    explicit CicloReale(const char* relativo, const std::vector<std::string>& senza = {})
        : inst(relativo),
          lavoro(fs::path(inst.drive.Radice()).parent_path()),
          server(NOCE_SERVER_PROGRAMMA, Contenuti(lavoro / "server", senza).string(), (lavoro / "server.out").string()),
          variabile("NOCE_SERVER", server.Indirizzo()) {}

    // Ticks as the timer would, until the cycle reaches `fine` or the
    // program ends; returns the states it passed through.
    std::vector<int> TickFinoA(int fine) {
        std::vector<int> passati;
        const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(90);
        while (!inst.ui.terminato && inst.form->FaseCiclo != fine && std::chrono::steady_clock::now() < limite) {
            const int prima = inst.form->FaseCiclo;
            inst.Esegui([&] { inst.form->TickCiclo(); });
            if (inst.form->FaseCiclo != prima) passati.push_back(inst.form->FaseCiclo);
            else std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return passati;
    }

    Installatore inst;
    fs::path lavoro;
    ServerNoce server;
    Variabile variabile;
};

}  // namespace

TEST(CicloCompleto, FetchesEverythingUnpacksAndInstalls) {
    // Blanks in the folder: the downloader gets its local path split.
    CicloReale c("Programma di installazione");
    ASSERT_GT(c.server.Porta(), 0);

    c.inst.Esegui([&] { c.inst.form->ImgTasto_Click(0); });
    ASSERT_FALSE(c.inst.ui.terminato) << (c.inst.ui.riquadri.empty() ? "" : c.inst.ui.riquadri.back().testo);
    EXPECT_TRUE(c.inst.Leggi("scaricatore.exe") == prova::LeggiFile(NOCE_SCARICATORE)) << "the bootstrap saves the program whole";

    EXPECT_EQ(c.TickFinoA(7), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    ASSERT_FALSE(c.inst.ui.terminato) << (c.inst.ui.riquadri.empty() ? "" : c.inst.ui.riquadri.back().testo);
    EXPECT_TRUE(c.inst.ui.riquadri.empty());

    const fs::path download = c.lavoro / "server/download";
    EXPECT_TRUE(c.inst.Leggi("lista.txt") == prova::LeggiFile(download / "lista.txt"));
    EXPECT_TRUE(c.inst.Leggi("unzip.exe") == prova::LeggiFile(download / "unzip.exe"));
    EXPECT_TRUE(c.inst.Leggi("Transito.zip") == prova::LeggiFile(download / "FulcroNoceFiles.zip"));
    // State 6 left in DirFiles what the archive holds, and nothing else.
    EXPECT_EQ(Albero(c.inst.Host("files"), "logInstallazione.txt"), ContenutoArchivio(c.lavoro));

    const std::string cartella = c.inst.Cartella();
    const std::vector<std::string> attesi = {
        "Premuto 'Installa'",
        "Avvio richiesta scarico UnZip",
        "Fine scarico Scaricatore",
        "Controlo la presenza del file lista.txt",
        "Avvio scarico lista",
        cartella + "\\scaricatore.exe -download/lista.txt -" + cartella + "\\lista.txt",
        "Controllo la presenza del file unzip",
        "Scarico UnZip",
        "Scarico Zip",
        "\"" + cartella + "\\unzip\" -o \"" + cartella + "\\transito.zip\" -d \"" + cartella + "\\files\"",
    };
    EXPECT_EQ(c.inst.Log(), attesi);

    // State 7: the installation run takes over and ends the program.
    c.inst.Esegui([&] { c.inst.form->TickCiclo(); });
    EXPECT_TRUE(c.inst.ui.terminato);
    ASSERT_FALSE(c.inst.ui.riquadri.empty());
    EXPECT_EQ(c.inst.ui.riquadri.back().titolo, "NOCE");
    EXPECT_NE(c.inst.ui.riquadri.back().testo.find("Installazione completata."), std::string::npos)
        << c.inst.ui.riquadri.back().testo;
    EXPECT_TRUE(c.inst.drive.Esiste("Noce/noce.exe"));
}

TEST(CicloCompleto, AKeptArchiveIsUnpackedWithoutAFetch) {
    CicloReale c("Setup");
    fs::copy_file(fs::path(NOCE_CONTENUTI_SERVER) / "download/FulcroNoceFiles.zip", c.inst.Host("Transito.zip"));
    c.inst.ui.risposte = {vbNo};

    c.inst.Esegui([&] { c.inst.form->ImgTasto_Click(0); });
    EXPECT_EQ(c.TickFinoA(7), (std::vector<int>{1, 2, 3, 4, 6, 7}));
    ASSERT_FALSE(c.inst.ui.terminato);
    ASSERT_EQ(c.inst.ui.riquadri.size(), 1u);
    EXPECT_EQ(c.inst.ui.riquadri[0].titolo, "NOCE");
    EXPECT_FALSE(c.inst.Esiste("scaricoincorso.max")) << "no downloader ran for the archive";
    EXPECT_EQ(Albero(c.inst.Host("files"), "logInstallazione.txt"), ContenutoArchivio(c.lavoro));
    auto log = c.inst.Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[log.size() - 3], "Scarico Zip");
    EXPECT_EQ(log[log.size() - 2], "Non scarico");
}

TEST(CicloCompleto, AFileMissingOnTheServerEndsTheRunWithItsMessage) {
    struct Caso {
        const char* manca;
        int fase;
        const char* messaggio;
    };
    const Caso casi[] = {{"lista.txt", 1, "Errore nello scarico della lista files."},
                         {"unzip.exe", 3, "Errore nello scarico dell'estrattore."},
                         {"FulcroNoceFiles.zip", 5, "Errore nello scarico dell'archivio."}};
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.manca);
        CicloReale c("Setup", {caso.manca});
        c.inst.Esegui([&] { c.inst.form->ImgTasto_Click(0); });
        c.TickFinoA(7);
        EXPECT_TRUE(c.inst.ui.terminato);
        EXPECT_EQ(c.inst.form->FaseCiclo, caso.fase);
        ASSERT_EQ(c.inst.ui.riquadri.size(), 1u);
        EXPECT_EQ(c.inst.ui.riquadri[0].testo, caso.messaggio);
        EXPECT_EQ(c.inst.ui.riquadri[0].icona, Icona::Stop);
        EXPECT_EQ(c.inst.ui.riquadri[0].titolo, "NOCE Installazione");
        // The downloader's 2 is what the cycle read.
        EXPECT_EQ(c.inst.Leggi("scaricoincorso.max").substr(0, 1), "2");
    }
}

}  // namespace noce::prova
