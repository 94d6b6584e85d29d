// The downloader against servers that misbehave in the ways a real line
// does: dropped connections, stalls, error pages, a file that changes
// between two attempts.
#include <atomic>
#include <thread>

#include "ScaricatoreDiProva.h"
#include "support/Comprimi.h"

namespace {

using namespace std::chrono_literals;
using namespace strumenti::scarico;
using strumenti::Intestazione;
using strumenti::Processo;
using strumenti::ServerDiProva;

// ---- Answers that are not the file ---------------------------------------------

struct CasoFallito {
    const char* nome;
    std::string risposta;  // sent to every connection
};

TEST_F(Scaricatore, EveryAnswerThatIsNotTheFileGivesTwoAndNoFile) {
    const std::string corpo = Corpo(5000, 'a');
    const std::vector<CasoFallito> casi = {
        {"404 con pagina", "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\nnon c'e'"},
        {"404 senza corpo", "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"},
        {"500", "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 3\r\nConnection: close\r\n\r\nerr"},
        {"redirezione", "HTTP/1.1 301 Moved\r\nLocation: /altro\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"},
        {"sempre troncato",
         "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\nConnection: close\r\n\r\n" + corpo.substr(0, 1000)},
        {"chiude subito", ""},
        // Neither a length nor chunks: a normal close could as well be a cut.
        {"finisce con la connessione", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + corpo.substr(0, 2500)},
        {"chunked senza l'ultimo",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + Chunked(corpo.substr(0, 2500), 1000, false)},
        {"lunghezza di venti cifre", "HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n" + corpo},
        {"gzip troncato", [&] {
             std::string z = noce::prova::Gzip(corpo);
             z.resize(z.size() / 2);
             return "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: " + std::to_string(z.size()) +
                    "\r\n\r\n" + z;
         }()},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        ServerDiProva s([&](int, const std::string&, int fd) { ServerDiProva::Scrivi(fd, caso.risposta); });
        EXPECT_NE(Scarica(s), 0);
        EXPECT_EQ(Marcatore(), "2\r\n");
        EXPECT_FALSE(drive.Esiste("Setup/lista.txt"));
        EXPECT_EQ(FileInSetup(), (std::set<std::string>{"scaricatore.exe", "scaricoincorso.max", "LogScarico.txt"}));
    }
}

TEST_F(Scaricatore, APermanentErrorIsNotRetried) {
    ServerDiProva s([](int, const std::string&, int fd) {
        ServerDiProva::Scrivi(fd, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    });
    EXPECT_NE(Scarica(s), 0);
    EXPECT_EQ(s.Richieste().size(), 1u);
}

TEST_F(Scaricatore, TheRequestGoesToTheServerWithTheRemoteName) {
    const std::string corpo = Corpo(300, 'x');
    ServerDiProva s([&](int, const std::string&, int fd) { ServerDiProva::Scrivi(fd, Risposta200(corpo)); });
    ASSERT_EQ(Scarica(s, "FulcroNoceFiles.zip", "C:\\Setup\\Transito.zip"), 0);
    auto r = s.Richieste();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].substr(0, r[0].find("\r\n")), "GET /download/FulcroNoceFiles.zip HTTP/1.1");
    EXPECT_EQ(Intestazione(r[0], "Host"), "download.noce.example");
    EXPECT_EQ(drive.Leggi("Setup/Transito.zip"), corpo);
    EXPECT_EQ(Marcatore(), "1\r\n");
}

// ---- Broken transfers ----------------------------------------------------------

TEST_F(Scaricatore, ADroppedConnectionResumesWhereItStopped) {
    const std::string corpo = Corpo(200000, 'a');
    ServerDiProva s([&](int n, const std::string& richiesta, int fd) {
        if (n == 0) {
            std::string r = Risposta200(corpo);
            ServerDiProva::Scrivi(fd, r.substr(0, r.size() - 120000));  // hangs up mid-body
        } else {
            ServerDiProva::Scrivi(fd, Risposta206(corpo, InizioRange(richiesta)));
        }
    });
    ASSERT_EQ(Scarica(s), 0);
    EXPECT_EQ(drive.Leggi("Setup/lista.txt"), corpo);
    EXPECT_EQ(Marcatore(), "1\r\n");
    auto r = s.Richieste();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(Intestazione(r[0], "Range"), "");
    EXPECT_EQ(Intestazione(r[1], "Range"), "bytes=80000-");
    EXPECT_EQ(Intestazione(r[1], "If-Range"), "\"v1\"");
    EXPECT_NE(drive.Leggi("Setup/LogScarico.txt").find("riprendo dal byte 80000"), std::string::npos);
}

struct CasoCambiato {
    const char* nome;
    // What the server answers to the resume request, the file being v2 by then.
    std::function<std::string(const std::string& richiesta, const std::string& v2)> ripresa;
};

TEST_F(Scaricatore, AFileChangedOnTheServerArrivesWholeNotStitched) {
    const std::string v1 = Corpo(100000, 'a');
    const std::string v2 = Corpo(120000, 'A');
    const std::vector<CasoCambiato> casi = {
        // A server that honours If-Range sends the new version whole.
        {"If-Range rispettato", [](const std::string&, const std::string& v2) { return Risposta200(v2, "\"v2\""); }},
        // One that ignores it sends the tail of the new version: its new
        // ETag gives it away, and the downloader starts again from zero.
        {"If-Range ignorato",
         [](const std::string& r, const std::string& v2) {
             std::size_t da = InizioRange(r);
             return da ? Risposta206(v2, da, "\"v2\"") : Risposta200(v2, "\"v2\"");
         }},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        ServerDiProva s([&](int n, const std::string& richiesta, int fd) {
            if (n == 0) {
                std::string r = Risposta200(v1);
                ServerDiProva::Scrivi(fd, r.substr(0, r.size() - 50000));
            } else {
                ServerDiProva::Scrivi(fd, caso.ripresa(richiesta, v2));
            }
        });
        ASSERT_EQ(Scarica(s), 0);
        EXPECT_TRUE(drive.Leggi("Setup/lista.txt") == v2);
        EXPECT_EQ(Marcatore(), "1\r\n");
        EXPECT_EQ(Intestazione(s.Richieste().at(1), "If-Range"), "\"v1\"");
    }
}

TEST_F(Scaricatore, WithoutAValidatorItStartsOverRatherThanResume) {
    const std::string corpo = Corpo(50000, 'k');
    ServerDiProva s([&](int n, const std::string&, int fd) {
        std::string r = "HTTP/1.1 200 OK\r\nContent-Length: 50000\r\nConnection: close\r\n\r\n" + corpo;
        ServerDiProva::Scrivi(fd, n == 0 ? r.substr(0, 20000) : r);
    });
    ASSERT_EQ(Scarica(s), 0);
    EXPECT_EQ(drive.Leggi("Setup/lista.txt"), corpo);
    EXPECT_EQ(Intestazione(s.Richieste().at(1), "Range"), "");
}

TEST_F(Scaricatore, AStalledServerGivesTwoWithinItsTimeLimit) {
    struct Caso {
        const char* nome;
        std::string inizio;
        std::size_t goccia;  // then this many bytes ...
        std::chrono::milliseconds ogni;  // ... this often, for a minute
        std::size_t richieste;
        const char* nelLog;
        std::vector<std::string> ambiente;
    };
    const std::string testa = "HTTP/1.1 200 OK\r\nContent-Length: 1000000000\r\n\r\n";
    const std::vector<Caso> casi = {
        {"non risponde", "", 0, 60s, 3, "nessun dato dal server da 1 s", {}},
        {"si ferma a metà", testa + Corpo(3000, 'q'), 0, 60s, 3, "nessun dato dal server da 1 s", {}},
        // Never silent for a second, far too slow over a window of one.
        {"goccia a goccia", testa, 1, 200ms, 3, "meno di 1024 byte al secondo negli ultimi 1 s",
         {"NOCE_SCARICO_FINESTRA_S=1"}},
        // Fast, and endless: only the deadline ends it, at its first attempt.
        {"senza fine", testa, 64 * 1024, 20ms, 1, "tempo massimo dello scarico superato",
         {"NOCE_SCARICO_SCADENZA_S=3"}},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        ServerDiProva s([&](int, const std::string&, int fd) {
            ServerDiProva::Scrivi(fd, caso.inizio);
            for (int i = 0; i < 60000 / caso.ogni.count(); ++i) {
                s.Dormi(caso.ogni);
                if (caso.goccia && !ServerDiProva::Scrivi(fd, Corpo(caso.goccia, 'g'))) return;
            }
        });
        std::filesystem::remove(drive.Host("Setup/LogScarico.txt"));
        auto prima = std::chrono::steady_clock::now();
        EXPECT_NE(Scarica(s, "lista.txt", "C:\\Setup\\lista.txt", caso.ambiente), 0);
        // Three attempts of a second or two each, and short pauses.
        EXPECT_LT(std::chrono::steady_clock::now() - prima, 12s);
        EXPECT_EQ(Marcatore(), "2\r\n");
        EXPECT_FALSE(drive.Esiste("Setup/lista.txt"));
        EXPECT_EQ(s.Richieste().size(), caso.richieste);
        EXPECT_NE(drive.Leggi("Setup/LogScarico.txt").find(caso.nelLog), std::string::npos);
    }
}

TEST_F(Scaricatore, AnUnreachableServerGivesTwo) {
    int porta;
    {
        ServerDiProva chiuso([](int, const std::string&, int) {});
        porta = chiuso.Porta();
    }
    auto riga = Riga("lista.txt", "C:\\Setup\\lista.txt");
    EXPECT_NE(strumenti::Esegui(riga, {"NOCE_SERVER=127.0.0.1:" + std::to_string(porta), "NOCE_SCARICO_TENTATIVI=2",
                                       "NOCE_SCARICO_PAUSA_MS=10"}),
              0);
    EXPECT_EQ(Marcatore(), "2\r\n");
}

// ---- The marker and the target as the installer sees them -------------------

TEST_F(Scaricatore, TheMarkerAndTheFileAreNeverReadHalfWritten) {
    const std::string corpo = Corpo(3 << 20, 'm');
    ServerDiProva s([&](int, const std::string&, int fd) {
        std::string r = Risposta200(corpo);
        // About two seconds of transfer, in small pieces.
        for (std::size_t i = 0; i < r.size(); i += 64 * 1024) {
            if (!ServerDiProva::Scrivi(fd, r.substr(i, 64 * 1024))) return;
            s.Dormi(40ms);
        }
    });
    Processo p(Riga("lista.txt", "C:\\Setup\\lista.txt"), Ambiente(s));
    std::set<std::string> visti;
    bool bersaglioParziale = false;
    for (;;) {
        bool finito = p.Finito();
        if (drive.Esiste("Setup/scaricoincorso.max")) visti.insert(Marcatore());
        if (drive.Esiste("Setup/lista.txt") && drive.Leggi("Setup/lista.txt") != corpo) bersaglioParziale = true;
        if (finito) break;
    }
    EXPECT_FALSE(bersaglioParziale);
    bool progresso = false;
    for (const auto& v : visti) {
        SCOPED_TRACE(v);
        bool valido = v == "0\r\n" || v == "1\r\n";
        if (v.rfind("0,", 0) == 0 && v.size() >= 5 && v.substr(v.size() - 2) == "\r\n") {
            int pct = std::stoi(v.substr(2));
            valido = pct >= 0 && pct < 100;
            progresso = true;
        }
        EXPECT_TRUE(valido);
    }
    EXPECT_TRUE(progresso);
    EXPECT_EQ(Marcatore(), "1\r\n");
}

TEST_F(Scaricatore, ASignalWritesTwoAndRemovesTheTemporaryFile) {
    for (int segnale : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(segnale);
        std::atomic<bool> iniziato{false};
        ServerDiProva s([&](int, const std::string&, int fd) {
            ServerDiProva::Scrivi(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + Corpo(5000, 's'));
            iniziato = true;
            s.Dormi(60s);
        });
        auto amb = Ambiente(s);
        amb.push_back("NOCE_SCARICO_STALLO_S=60");
        Processo p(Riga("lista.txt", "C:\\Setup\\lista.txt"), amb);
        for (int i = 0; i < 1000 && !iniziato; ++i) std::this_thread::sleep_for(5ms);
        std::this_thread::sleep_for(100ms);
        p.Segnale(segnale);
        EXPECT_EQ(p.Attendi(10s), 128 + segnale);
        EXPECT_EQ(Marcatore(), "2\r\n");
        EXPECT_EQ(FileInSetup(), (std::set<std::string>{"scaricatore.exe", "scaricoincorso.max", "LogScarico.txt"}));
    }
}

// ---- Command lines -------------------------------------------------------------

TEST_F(Scaricatore, APathWithBlanksArrivesSplitAndIsJoined) {
    const std::string corpo = Corpo(1000, 'b');
    struct Caso {
        const char* cartellaProgramma;  // under drive c:
        std::vector<std::string> argomenti;
        const char* atteso;  // host path under drive c:
    };
    const std::vector<Caso> casi = {
        {"Setup", {"-C:\\Dati", "Utente\\lista.txt"}, "Dati Utente/lista.txt"},
        {"Noce Setup", {"-C:\\Noce", "Setup\\lista.txt"}, "Noce Setup/lista.txt"},
        {"Setup", {"-C:\\Un", "due", "tre\\lista.txt"}, "Un due tre/lista.txt"},
    };
    ServerDiProva s([&](int, const std::string&, int fd) { ServerDiProva::Scrivi(fd, Risposta200(corpo)); });
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.atteso);
        std::string cartella = caso.cartellaProgramma;
        std::filesystem::create_directories(drive.Host(cartella));
        std::filesystem::create_directories(std::filesystem::path(drive.Host(caso.atteso)).parent_path());
        if (!drive.Esiste(cartella + "/scaricatore.exe"))
            std::filesystem::copy_file(NOCE_SCARICATORE, drive.Host(cartella + "/scaricatore.exe"));
        std::vector<std::string> riga = {drive.Host(cartella + "/scaricatore.exe"), "-download/lista.txt"};
        riga.insert(riga.end(), caso.argomenti.begin(), caso.argomenti.end());
        ASSERT_EQ(strumenti::Esegui(riga, Ambiente(s)), 0);
        EXPECT_EQ(drive.Leggi(caso.atteso), corpo);
        EXPECT_EQ(drive.Leggi(cartella + "/scaricoincorso.max"), "1\r\n");
    }
}

TEST_F(Scaricatore, AnUnusableCommandLineGivesTwo) {
    ServerDiProva s([](int, const std::string&, int) {});
    const std::vector<std::vector<std::string>> casi = {
        {},
        {"-download/lista.txt"},
        {"download/lista.txt", "-C:\\Setup\\lista.txt"},
        {"-download/lista.txt", "C:\\Setup\\lista.txt"},
        {"-download/lista.txt", "-C:\\NonCe\\lista.txt"},  // a folder that does not exist
    };
    for (const auto& argomenti : casi) {
        SCOPED_TRACE(argomenti.size());
        std::filesystem::remove(drive.Host("Setup/scaricoincorso.max"));
        std::vector<std::string> riga = {drive.Host("Setup/scaricatore.exe")};
        riga.insert(riga.end(), argomenti.begin(), argomenti.end());
        EXPECT_NE(strumenti::Esegui(riga, Ambiente(s)), 0);
        EXPECT_EQ(Marcatore(), "2\r\n");
    }
    EXPECT_TRUE(s.Richieste().empty());
}

TEST_F(Scaricatore, APresentTargetIsReplacedWhateverItsCase) {
    const std::string corpo = Corpo(2000, 'n');
    drive.Scrivi("Setup/Lista.TXT", "vecchio");
    ServerDiProva s([&](int, const std::string&, int fd) { ServerDiProva::Scrivi(fd, Risposta200(corpo)); });
    ASSERT_EQ(Scarica(s), 0);
    EXPECT_EQ(drive.Leggi("Setup/Lista.TXT"), corpo);
    EXPECT_FALSE(drive.Esiste("Setup/lista.txt") && !std::filesystem::equivalent(drive.Host("Setup/lista.txt"),
                                                                                  drive.Host("Setup/Lista.TXT")));
}

}  // namespace
