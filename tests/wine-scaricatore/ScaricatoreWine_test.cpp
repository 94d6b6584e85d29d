// scaricatore.exe under Wine, as the installer starts it from C:\Setup of
// the test's prefix: the Linux downloader's cases where WinHTTP, the Windows
// files and the Windows marker replace are what is tested.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <thread>

#include "RisposteDiProva.h"
#include "support/FileDiProva.h"
#include "support/Processi.h"
#include "support/ServerDiProva.h"
#include "support/ServerNoce.h"

namespace {

using namespace std::chrono_literals;
using namespace strumenti::scarico;
using strumenti::Intestazione;
using strumenti::ServerDiProva;
namespace fs = std::filesystem;

class ScaricatoreWine : public ::testing::Test {
protected:
    void SetUp() override {
        const char* prefisso = std::getenv("WINEPREFIX");
        const char* build = std::getenv("NOCE_BUILD_WIN");
        ASSERT_TRUE(prefisso && build) << "run through nel_prefisso.sh, with NOCE_BUILD_WIN set";
        programma_ = fs::path(build) / "scaricatore.exe";
        ASSERT_TRUE(fs::exists(programma_)) << programma_ << " is missing: run scripts/prepara-windows.sh";
        setup_ = fs::path(prefisso) / "drive_c" / "Setup";
        fs::create_directories(setup_);
        fs::copy_file(programma_, setup_ / "scaricatore.exe", fs::copy_options::overwrite_existing);
    }

    int Scarica(const std::string& server, const std::string& remoto = "lista.txt",
                std::chrono::milliseconds limite = 60s) {
        std::vector<std::string> riga = {"wine", (setup_ / "scaricatore.exe").string(), "-download/" + remoto,
                                         "-C:\\Setup\\lista.txt"};
        std::vector<std::string> ambiente = {"NOCE_SERVER=" + server, "NOCE_SCARICO_STALLO_S=1",
                                             "NOCE_SCARICO_CONNESSIONE_S=2", "NOCE_SCARICO_TENTATIVI=3",
                                             "NOCE_SCARICO_PAUSA_MS=20"};
        return strumenti::Esegui(Percorso(riga), ambiente, limite);
    }
    std::string Marcatore() const { return noce::prova::LeggiFile(setup_ / "scaricoincorso.max"); }
    std::string Log() const { return noce::prova::LeggiFile(setup_ / "LogScarico.txt"); }
    // Only the program, the marker and the log, and `file` when it came.
    std::set<std::string> FileInSetup() const {
        std::set<std::string> nomi;
        for (auto& e : fs::directory_iterator(setup_)) nomi.insert(e.path().filename().string());
        return nomi;
    }

    fs::path programma_, setup_;

private:
    // posix_spawn takes a path, not a name looked up in PATH.
    static std::vector<std::string> Percorso(std::vector<std::string> riga) {
        for (const char* d : {"/usr/bin/", "/usr/local/bin/", "/bin/"})
            if (fs::exists(std::string(d) + riga[0])) {
                riga[0] = std::string(d) + riga[0];
                break;
            }
        return riga;
    }
};

const std::set<std::string> SoloProgramma = {"scaricatore.exe", "scaricoincorso.max", "LogScarico.txt"};

struct CasoRipresa {
    const char* nome;
    std::function<std::string(const std::string& corpo)> ripresa;  // to "Range: bytes=80000-"
    std::size_t richieste;
};

TEST_F(ScaricatoreWine, ADroppedConnectionResumesOnlyWithTheRightPart) {
    const std::string corpo = Corpo(200000, 'w');
    const std::vector<CasoRipresa> casi = {
        {"giusta", [](const std::string& c) { return Risposta206(c, 80000); }, 2},
        {"totale diverso",
         [](const std::string& c) {
             return "HTTP/1.1 206 Partial Content\r\nContent-Length: 120010\r\nContent-Range: bytes "
                    "80000-200009/200010\r\nETag: \"v1\"\r\nConnection: close\r\n\r\n" +
                    c.substr(80000) + "0123456789";
         },
         3},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        ServerDiProva s([&](int n, const std::string& richiesta, int fd) {
            std::string r = Risposta200(corpo);
            if (n == 0) ServerDiProva::Scrivi(fd, r.substr(0, r.size() - 120000));  // hangs up mid-body
            else if (InizioRange(richiesta) == 80000) ServerDiProva::Scrivi(fd, caso.ripresa(corpo));
            else ServerDiProva::Scrivi(fd, r);
        });
        ASSERT_EQ(Scarica(s.Indirizzo()), 0) << Log();
        EXPECT_TRUE(noce::prova::LeggiFile(setup_ / "lista.txt") == corpo);
        EXPECT_EQ(Marcatore(), "1\r\n");
        auto r = s.Richieste();
        ASSERT_EQ(r.size(), caso.richieste);
        EXPECT_EQ(Intestazione(r[0], "Host"), "download.noce.example");
        EXPECT_EQ(Intestazione(r[1], "Range"), "bytes=80000-");
        EXPECT_EQ(Intestazione(r[1], "If-Range"), "\"v1\"");
        auto attesi = SoloProgramma;
        attesi.insert("lista.txt");
        EXPECT_EQ(FileInSetup(), attesi);
    }
}

TEST_F(ScaricatoreWine, EveryAnswerThatIsNotTheFileGivesTwoWithinTheTimeLimit) {
    const std::string corpo = Corpo(5000, 'e');
    const std::vector<std::pair<const char*, std::string>> casi = {
        {"si ferma a metà", "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + corpo},
        {"finisce con la connessione", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + corpo},
        {"chunked senza l'ultimo",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n" + Chunked(corpo, 1000, false)},
    };
    for (const auto& [nome, risposta] : casi) {
        SCOPED_TRACE(nome);
        fs::remove(setup_ / "LogScarico.txt");
        ServerDiProva s([&](int, const std::string&, int fd) {
            ServerDiProva::Scrivi(fd, risposta);
            // The first case then stalls; the others hang up.
            if (risposta.find("100000") != std::string::npos) s.Dormi(60s);
        });
        auto prima = std::chrono::steady_clock::now();
        EXPECT_NE(Scarica(s.Indirizzo()), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - prima, 20s);
        EXPECT_EQ(Marcatore(), "2\r\n") << Log();
        EXPECT_EQ(FileInSetup(), SoloProgramma) << Log();
    }
}

// The real server: a file it has not is a 404, tried once; one it has
// comes whole.
TEST_F(ScaricatoreWine, WithNoceServerAMissingFileGivesTwoAndAPresentOneArrives) {
    fs::path radice = setup_.parent_path().parent_path() / "contenuto";
    fs::create_directories(radice / "download");
    const std::string corpo = Corpo(1 << 20, 's');
    std::ofstream(radice / "download" / "lista.txt", std::ios::binary) << corpo;
    noce::prova::ServerNoce server(NOCE_SERVER_PROGRAMMA, radice.string(), (radice.parent_path() / "server.out").string());
    ASSERT_NE(server.Porta(), 0) << "noce-server printed no port";

    EXPECT_NE(Scarica(server.Indirizzo(), "manca.txt"), 0);
    EXPECT_EQ(Marcatore(), "2\r\n");
    EXPECT_NE(Log().find("risposta HTTP 404"), std::string::npos) << Log();
    EXPECT_EQ(Log().find("Tentativo 2"), std::string::npos) << Log();
    EXPECT_EQ(FileInSetup(), SoloProgramma);

    ASSERT_EQ(Scarica(server.Indirizzo()), 0) << Log();
    EXPECT_TRUE(noce::prova::LeggiFile(setup_ / "lista.txt") == corpo);
    EXPECT_EQ(Marcatore(), "1\r\n");
}

}  // namespace
