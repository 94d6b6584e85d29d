// What the downloader takes as the file: a resumed part only when it is the
// one asked for, a body only as its framing ends it, decoded as declared;
// and nothing it writes goes through a link planted beside it.
#include <unistd.h>

#include <atomic>
#include <functional>
#include <random>
#include <thread>

#include "ScaricatoreDiProva.h"
#include "support/Comprimi.h"
#include "tools/scaricatore/Risposta.h"

namespace {

using namespace std::chrono_literals;
using namespace strumenti::scarico;
using strumenti::Intestazione;
using strumenti::Processo;
using strumenti::ServerDiProva;

const std::string Testa200 = "HTTP/1.1 200 OK\r\nETag: \"v1\"\r\nConnection: close\r\n";

struct CasoRipresa {
    const char* nome;
    // The answer to the resume request for bytes 100000- of `corpo`.
    std::function<std::string(const std::string& corpo)> ripresa;
    std::size_t richieste;  // 3: the part is refused and the file comes again whole
};

std::string Parte(const std::string& intervallo, const std::string& byte) {
    return "HTTP/1.1 206 Partial Content\r\nContent-Length: " + std::to_string(byte.size()) +
           "\r\nContent-Range: bytes " + intervallo + "\r\nETag: \"v1\"\r\nConnection: close\r\n\r\n" + byte;
}

TEST_F(Scaricatore, AResumeIsTakenOnlyForTheAskedPartOfTheAnnouncedFile) {
    const std::string corpo = Corpo(200000, 'a');
    const std::vector<CasoRipresa> casi = {
        {"giusta", [](const std::string& c) { return Risposta206(c, 100000); }, 2},
        // A full 200 to a resume is the file again: what was held goes.
        {"200 intero", [](const std::string& c) { return Risposta200(c); }, 2},
        {"totale ignoto, pezzo corto",
         [](const std::string& c) { return Parte("100000-100999/*", c.substr(100000, 1000)); }, 3},
        {"totale ignoto", [](const std::string& c) { return Parte("100000-199999/*", c.substr(100000)); }, 3},
        {"totale diverso",
         [](const std::string& c) { return Parte("100000-200009/200010", c.substr(100000) + "0123456789"); }, 3},
        {"inizio diverso", [](const std::string& c) { return Parte("99990-199999/200000", c.substr(99990)); }, 3},
        {"fine prima del totale",
         [](const std::string& c) { return Parte("100000-149999/200000", c.substr(100000, 50000)); }, 3},
        {"senza Content-Range",
         [](const std::string& c) {
             return "HTTP/1.1 206 Partial Content\r\nContent-Length: 100000\r\nConnection: close\r\n\r\n" +
                    c.substr(100000);
         },
         3},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        ServerDiProva s([&](int n, const std::string& richiesta, int fd) {
            std::string r = Risposta200(corpo);
            if (n == 0) ServerDiProva::Scrivi(fd, r.substr(0, r.size() - 100000));  // hangs up half-way
            else if (InizioRange(richiesta) == 100000) ServerDiProva::Scrivi(fd, caso.ripresa(corpo));
            else ServerDiProva::Scrivi(fd, r);
        });
        ASSERT_EQ(Scarica(s), 0);
        EXPECT_TRUE(drive.Leggi("Setup/lista.txt") == corpo);
        EXPECT_EQ(Marcatore(), "1\r\n");
        auto r = s.Richieste();
        ASSERT_EQ(r.size(), caso.richieste);
        EXPECT_EQ(Intestazione(r[1], "Range"), "bytes=100000-");
        if (r.size() == 3) {
            EXPECT_EQ(Intestazione(r[2], "Range"), "");
        }
    }
}

TEST_F(Scaricatore, TheBodyIsSavedDecodedHoweverItIsFramed) {
    const std::string corpo = Corpo(300000, 'c');
    const std::string gz = noce::prova::Gzip(corpo);
    const std::vector<std::pair<const char*, std::string>> casi = {
        {"chunked", Testa200 + "Transfer-Encoding: chunked\r\n\r\n" + Chunked(corpo, 7000)},
        {"gzip con lunghezza",
         Testa200 + "Content-Encoding: gzip\r\nContent-Length: " + std::to_string(gz.size()) + "\r\n\r\n" + gz},
        {"gzip chunked", Testa200 + "Content-Encoding: gzip\r\nTransfer-Encoding: chunked\r\n\r\n" + Chunked(gz, 999)},
        {"deflate zlib", Testa200 + "Content-Encoding: deflate\r\nTransfer-Encoding: chunked\r\n\r\n" +
                             Chunked(noce::prova::Comprimi(corpo, 15), 1)},
        {"deflate nudo", Testa200 + "Content-Encoding: Deflate\r\nTransfer-Encoding: chunked\r\n\r\n" +
                             Chunked(noce::prova::Comprimi(corpo, -15), 4096)},
    };
    for (const auto& [nome, risposta] : casi) {
        SCOPED_TRACE(nome);
        ServerDiProva s([&](int, const std::string&, int fd) { ServerDiProva::Scrivi(fd, risposta); });
        ASSERT_EQ(Scarica(s), 0);
        EXPECT_TRUE(drive.Leggi("Setup/lista.txt") == corpo);
        EXPECT_EQ(s.Richieste().size(), 1u);
    }
}

// The header reader on its own, as the network may feed it.
TEST(DownloadHeaders, AnUnreadableSizeNeverBecomesALength) {
    struct Caso {
        const char* testa;
        std::int64_t lunghezza;
        bool valida;
    };
    const std::vector<Caso> casi = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 123456789012345678\r\n\r\n", 123456789012345678, true},
        {"HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n", -1, false},
        {"HTTP/1.1 200 OK\r\nContent-Length: 9223372036854775808\r\n", -1, false},
        {"HTTP/1.1 200 OK\r\nContent-Length: -5\r\n", -1, false},
        {"HTTP/1.1 200 OK\r\nContent-Length: 10\r\ncontent-length: 11\r\n", 10, false},
        {"HTTP/1.1 200 OK\nContent-Length: 7", 7, true},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.testa);
        auto r = scaricatore::LeggiIntestazioni(caso.testa);
        EXPECT_EQ(r.codice, 200);
        EXPECT_EQ(r.lunghezza, caso.lunghezza);
        EXPECT_EQ(r.nonValida.empty(), caso.valida);
    }
    auto r = scaricatore::LeggiIntestazioni(
        "HTTP/1.1 206 X\r\nContent-Range: bytes 5-99999999999999999999/100\r\n\r\nContent-Length: 3\r\n");
    EXPECT_EQ(r.inizioIntervallo, -1);
    EXPECT_EQ(r.lunghezza, -1);  // past the blank line is the body
}

// A compressed body cut half-way is not resumed by ranges: those would be
// of the compressed form, not of the file.
TEST_F(Scaricatore, ABrokenCompressedBodyStartsOver) {
    // Bytes that do not compress, so that the file held is shorter than the
    // compressed size and a resume would look possible.
    std::string corpo(300000, '\0');
    std::mt19937 caso(11);
    for (auto& c : corpo) c = static_cast<char>(caso());
    const std::string gz = noce::prova::Gzip(corpo);
    ServerDiProva s([&](int n, const std::string&, int fd) {
        std::string r = Testa200 + "Content-Encoding: gzip\r\nContent-Length: " + std::to_string(gz.size()) +
                        "\r\n\r\n" + gz;
        ServerDiProva::Scrivi(fd, n == 0 ? r.substr(0, r.size() - gz.size() / 2) : r);
    });
    ASSERT_EQ(Scarica(s), 0);
    EXPECT_TRUE(drive.Leggi("Setup/lista.txt") == corpo);
    EXPECT_EQ(Intestazione(s.Richieste().at(1), "Range"), "");
}

// Links planted under the names the downloader writes point at files
// outside its folder; none of them may change.
TEST_F(Scaricatore, NoWriteFollowsAPlantedLink) {
    const std::string corpo = Corpo(4000, 'l');
    std::atomic<bool> piantati{false};
    ServerDiProva s([&](int, const std::string&, int fd) {
        for (int i = 0; i < 1000 && !piantati; ++i) s.Dormi(5ms);
        ServerDiProva::Scrivi(fd, Risposta200(corpo));
    });
    drive.Scrivi("fuori-log.txt", "intatto");
    drive.Scrivi("fuori-marcatore.txt", "intatto");
    std::filesystem::create_symlink(drive.Host("fuori-log.txt"), drive.Host("Setup/LogScarico.txt"));
    Processo p(Riga("lista.txt", "C:\\Setup\\lista.txt"), Ambiente(s));
    // The marker's temporary name carries the process id: planted once the
    // process runs, before the answer lets it write the marker again.
    std::filesystem::create_symlink(drive.Host("fuori-marcatore.txt"),
                                    drive.Host("Setup/.scaricoincorso.max." + std::to_string(p.Pid())));
    piantati = true;
    ASSERT_EQ(p.Attendi(30s), 0);
    EXPECT_EQ(drive.Leggi("fuori-log.txt"), "intatto");
    EXPECT_EQ(drive.Leggi("fuori-marcatore.txt"), "intatto");
    EXPECT_FALSE(std::filesystem::is_symlink(drive.Host("Setup/scaricoincorso.max")));
    EXPECT_EQ(Marcatore(), "1\r\n");
    EXPECT_EQ(drive.Leggi("Setup/lista.txt"), corpo);
}

}  // namespace
