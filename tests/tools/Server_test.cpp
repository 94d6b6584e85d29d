// The download server as a client on 127.0.0.1 sees it: the port line,
// byte ranges and their validators, HEAD, paths that try to leave the
// folder, and a clean stop.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <atomic>
#include <sstream>
#include <thread>

#include "Opzioni.h"
#include "support/Processi.h"
#include "support/ServerDiProva.h"
#include "support/DriveDiProva.h"
#include "support/FileDiProva.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct RispostaHttp {
    int codice = 0;
    std::string intestazioni, corpo;
    std::string Intestazione(const std::string& nome) const {
        return strumenti::Intestazione(intestazioni, nome);
    }
};

int Connetti(int porta) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(porta));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// What the server sends on `fd` until it closes, or until `limite`.
std::string LeggiFinoAllaChiusura(int fd, std::chrono::milliseconds limite = 10s) {
    std::string tutto;
    char buf[65536];
    auto fine = std::chrono::steady_clock::now() + limite;
    while (std::chrono::steady_clock::now() < fine) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        ssize_t k = ::recv(fd, buf, sizeof buf, 0);
        if (k <= 0) break;
        tutto.append(buf, static_cast<std::size_t>(k));
    }
    return tutto;
}

// `byte` sent on a connection of its own; what came back up to the close.
std::string Scambia(int porta, const std::string& byte) {
    int fd = Connetti(porta);
    if (fd < 0) return "";
    strumenti::ServerDiProva::Scrivi(fd, byte);
    std::string tutto = LeggiFinoAllaChiusura(fd);
    ::close(fd);
    return tutto;
}

// One request on its own connection, read to the server's close.
RispostaHttp Chiedi(int porta, const std::string& metodo, const std::string& percorso,
                    const std::string& altre = "") {
    std::string tutto = Scambia(porta, metodo + " " + percorso + " HTTP/1.1\r\nHost: download.noce.example\r\n" +
                                           altre + "Connection: close\r\n\r\n");
    RispostaHttp r;
    auto vuota = tutto.find("\r\n\r\n");
    if (tutto.size() < 12 || vuota == std::string::npos) return r;
    r.codice = std::stoi(tutto.substr(9, 3));
    r.intestazioni = tutto.substr(0, vuota + 2);
    r.corpo = tutto.substr(vuota + 4);
    return r;
}

class Server : public ::testing::Test {
protected:
    void SetUp() override {
        char modello[] = "/tmp/noce-server-XXXXXX";
        cartella_ = mkdtemp(modello);
        radice_ = cartella_ + "/radice";
        fs::create_directories(radice_ + "/download");
        for (int i = 0; i < 100000; ++i) dati_ += static_cast<char>('A' + i * 31 % 26);
        std::ofstream(radice_ + "/download/dati.bin", std::ios::binary) << dati_;
        std::ofstream(radice_ + "/pagina.php") << "<p>ciao</p>";
        std::ofstream(cartella_ + "/segreto.txt") << "segreto";
        server_ = std::make_unique<strumenti::Processo>(
            std::vector<std::string>{NOCE_SERVER_PROGRAMMA, "--port", "0", "--root", radice_, "--durata", "120",
                                     "--attesa-ms", "600", "--testa-ms", "600", "--connessioni", "40"},
            std::vector<std::string>{}, cartella_ + "/uscita.txt", cartella_ + "/registro.txt");
        for (int i = 0; i < 500 && noce::prova::LeggiFile(cartella_ + "/uscita.txt").find('\n') == std::string::npos; ++i)
            std::this_thread::sleep_for(10ms);
        primaRiga_ = noce::prova::LeggiFile(cartella_ + "/uscita.txt");
        primaRiga_ = primaRiga_.substr(0, primaRiga_.find('\n'));
        porta_ = primaRiga_.empty() ? 0 : std::atoi(primaRiga_.c_str());
    }
    void TearDown() override {
        server_.reset();
        fs::remove_all(cartella_);
    }

    std::string cartella_, radice_, dati_, primaRiga_;
    int porta_ = 0;
    std::unique_ptr<strumenti::Processo> server_;
};

TEST_F(Server, TheFirstLineIsThePortAlone) {
    ASSERT_FALSE(primaRiga_.empty());
    EXPECT_EQ(primaRiga_.find_first_not_of("0123456789"), std::string::npos) << primaRiga_;
    EXPECT_GT(porta_, 0);
    EXPECT_EQ(Chiedi(porta_, "GET", "/download/dati.bin").codice, 200);
}

TEST_F(Server, RangesAndValidators) {
    ASSERT_GT(porta_, 0);
    const std::string n = std::to_string(dati_.size());
    const RispostaHttp intero = Chiedi(porta_, "GET", "/download/dati.bin");
    const std::string etag = intero.Intestazione("ETag");
    const std::string data = intero.Intestazione("Last-Modified");
    ASSERT_FALSE(etag.empty());
    char attesa[64];
    std::time_t mtime = std::chrono::system_clock::to_time_t(
        std::chrono::file_clock::to_sys(fs::last_write_time(radice_ + "/download/dati.bin")));
    std::strftime(attesa, sizeof attesa, "%a, %d %b %Y %H:%M:%S GMT", std::gmtime(&mtime));
    EXPECT_EQ(data, attesa);
    EXPECT_EQ(intero.corpo, dati_);
    EXPECT_EQ(intero.Intestazione("Accept-Ranges"), "bytes");

    struct Caso {
        const char* nome;
        std::string intestazioni;
        int codice;
        std::string contentRange;  // "" when none is expected
        std::string corpo;
    };
    const std::vector<Caso> casi = {
        {"da 0 a 9", "Range: bytes=0-9\r\n", 206, "bytes 0-9/" + n, dati_.substr(0, 10)},
        {"un byte", "Range: bytes=7-7\r\n", 206, "bytes 7-7/" + n, dati_.substr(7, 1)},
        {"fino in fondo", "Range: bytes=99990-\r\n", 206, "bytes 99990-99999/" + n, dati_.substr(99990)},
        {"oltre la fine si accorcia", "Range: bytes=99998-200000\r\n", 206, "bytes 99998-99999/" + n,
         dati_.substr(99998)},
        {"gli ultimi 5", "Range: bytes=-5\r\n", 206, "bytes 99995-99999/" + n, dati_.substr(99995)},
        {"tutto dall'inizio", "Range: bytes=0-\r\n", 206, "bytes 0-99999/" + n, dati_},
        {"dopo la fine", "Range: bytes=" + n + "-\r\n", 416, "bytes */" + n, ""},
        {"suffisso vuoto", "Range: bytes=-0\r\n", 416, "bytes */" + n, ""},
        {"If-Range con l'ETag giusto", "Range: bytes=10-19\r\nIf-Range: " + etag + "\r\n", 206,
         "bytes 10-19/" + n, dati_.substr(10, 10)},
        {"If-Range con la data giusta", "Range: bytes=10-19\r\nIf-Range: " + data + "\r\n", 206,
         "bytes 10-19/" + n, dati_.substr(10, 10)},
        {"If-Range di un'altra versione", "Range: bytes=10-19\r\nIf-Range: \"vecchio\"\r\n", 200, "", dati_},
        {"più intervalli: il file intero", "Range: bytes=0-1,5-6\r\n", 200, "", dati_},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        RispostaHttp r = Chiedi(porta_, "GET", "/download/dati.bin", caso.intestazioni);
        EXPECT_EQ(r.codice, caso.codice);
        EXPECT_EQ(r.Intestazione("Content-Range"), caso.contentRange);
        EXPECT_EQ(r.Intestazione("Content-Length"), std::to_string(caso.corpo.size()));
        EXPECT_TRUE(r.corpo == caso.corpo) << r.corpo.size() << " byte";
    }
}

TEST_F(Server, HeadPhpAndPathsOutsideTheFolder) {
    ASSERT_GT(porta_, 0);
    RispostaHttp testa = Chiedi(porta_, "HEAD", "/download/dati.bin");
    EXPECT_EQ(testa.codice, 200);
    EXPECT_EQ(testa.Intestazione("Content-Length"), std::to_string(dati_.size()));
    EXPECT_EQ(testa.corpo, "");

    RispostaHttp pagina = Chiedi(porta_, "GET", "/pagi%6E%61.php");
    EXPECT_EQ(pagina.codice, 200);
    EXPECT_EQ(pagina.Intestazione("Content-Type").rfind("text/html", 0), 0u);
    EXPECT_EQ(pagina.corpo, "<p>ciao</p>");

    fs::create_symlink(cartella_ + "/segreto.txt", radice_ + "/collegamento.txt");
    for (const char* percorso : {"/../segreto.txt", "/download/../../segreto.txt", "/collegamento.txt",
                                 "/%2e%2e/segreto.txt", "/download", "/manca.txt", "/download/dati.bin/x"}) {
        SCOPED_TRACE(percorso);
        RispostaHttp r = Chiedi(porta_, "GET", percorso);
        EXPECT_GE(r.codice, 400);
        EXPECT_EQ(r.corpo.find("segreto"), std::string::npos);
    }
}

TEST_F(Server, EachRequestHasItsLogLine) {
    ASSERT_GT(porta_, 0);
    Chiedi(porta_, "GET", "/download/dati.bin", "Range: bytes=0-9\r\n");
    Chiedi(porta_, "GET", "/manca.txt");
    Chiedi(porta_, "GET", "/a%0d%0a2026-01-01%2000:00:00%2010.0.0.1%20%22GET%20/falso%20HTTP/1.1%22%20200%201%1b[2J");
    std::this_thread::sleep_for(100ms);
    std::string registro = noce::prova::LeggiFile(cartella_ + "/registro.txt");
    EXPECT_NE(registro.find("\"GET /a\\x0d\\x0a2026-01-01 00:00:00 10.0.0.1 \\x22GET /falso HTTP/1.1\\x22 200 "
                            "1\\x1b[2J HTTP/1.1\" 404"),
              std::string::npos)
        << registro;
    // The start line and one line per request: none forged.
    EXPECT_EQ(std::count(registro.begin(), registro.end(), '\n'), 4) << registro;
    EXPECT_NE(registro.find("\"GET /download/dati.bin HTTP/1.1\" 206 10 range=bytes=0-9\n"), std::string::npos)
        << registro;
    EXPECT_NE(registro.find("\"GET /manca.txt HTTP/1.1\" 404"), std::string::npos) << registro;
}

TEST_F(Server, StopsCleanlyOnASignal) {
    for (int segnale : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(segnale);
        if (segnale == SIGINT) {
            TearDown();
            SetUp();
        }
        ASSERT_GT(porta_, 0);
        server_->Segnale(segnale);
        EXPECT_EQ(server_->Attendi(10s), 0);
        EXPECT_EQ(Chiedi(porta_, "GET", "/download/dati.bin").codice, 0);
    }
}

TEST_F(Server, TheDownloaderGetsTheWholeFileFromTheServer) {
    ASSERT_GT(porta_, 0);
    noce::prova::DriveDiProva drive;
    fs::create_directories(drive.Host("Setup"));
    fs::copy_file(NOCE_SCARICATORE, drive.Host("Setup/scaricatore.exe"));
    std::vector<std::string> riga = {drive.Host("Setup/scaricatore.exe"), "-download/dati.bin", "-C:\\Setup\\dati.bin"};
    EXPECT_EQ(strumenti::Esegui(riga, {"NOCE_SERVER=127.0.0.1:" + std::to_string(porta_)}), 0);
    EXPECT_TRUE(noce::prova::LeggiFile(drive.Host("Setup/dati.bin")) == dati_);
    EXPECT_EQ(noce::prova::LeggiFile(drive.Host("Setup/scaricoincorso.max")), "1\r\n");
}

}  // namespace

namespace {

TEST(ServerOptions, PortsAndLimits) {
    struct Caso {
        std::vector<const char*> riga;
        bool valida;
        int porta;
    };
    const std::vector<Caso> casi = {
        {{"--port", "0"}, true, 0},          {{"--port", "1"}, true, 1},
        {{"--port=65535"}, true, 65535},     {{"--port", "65536"}, false, 0},
        {{"--port", "-1"}, false, 0},        {{"--port", "80x"}, false, 0},
        {{"--port"}, false, 0},              {{"--testa-ms", "0"}, false, 0},
        {{"--testa-ms", "1"}, true, 80},     {{"--connessioni", "-5"}, false, 0},
    };
    for (const auto& caso : casi) {
        std::vector<const char*> argv = {"noce-server"};
        argv.insert(argv.end(), caso.riga.begin(), caso.riga.end());
        SCOPED_TRACE(caso.riga[0] + std::string(" ") + (caso.riga.size() > 1 ? caso.riga[1] : ""));
        std::string errore;
        auto o = server::LeggiOpzioni(static_cast<int>(argv.size()), argv.data(), errore);
        ASSERT_EQ(o.has_value(), caso.valida) << errore;
        EXPECT_EQ(o ? o->porta : 0, caso.valida ? caso.porta : 0);
        EXPECT_EQ(errore.empty(), caso.valida);
    }
}

// Clients that hold a connection without ever finishing a request: the
// server (600 ms for the head here) keeps answering others, and ends them.
TEST_F(Server, KeepsServingWhileSlowOrIdleClientsHoldConnections) {
    ASSERT_GT(porta_, 0);
    for (bool lento : {true, false}) {
        SCOPED_TRACE(lento ? "one byte every 100 ms" : "nothing sent");
        std::vector<int> occupanti;
        for (int i = 0; i < 32; ++i) occupanti.push_back(Connetti(porta_));
        std::atomic<bool> basta{false};
        std::thread goccia([&] {
            const std::string testa = "GET /download/dati.bin HTTP/1.1\r\nHost: x\r\nX-Riempitivo: ";
            for (std::size_t k = 0; lento && !basta; ++k) {
                for (int fd : occupanti) ::send(fd, &testa[std::min(k, testa.size() - 1)], 1, MSG_NOSIGNAL);
                std::this_thread::sleep_for(100ms);
            }
        });
        std::this_thread::sleep_for(200ms);
        auto prima = std::chrono::steady_clock::now();
        EXPECT_EQ(Chiedi(porta_, "GET", "/download/dati.bin").corpo, dati_);
        EXPECT_LT(std::chrono::steady_clock::now() - prima, 2s);
        // The head they started stays unfinished; more bytes would only
        // keep the server draining them after its answer.
        basta = true;
        goccia.join();
        int chiusi = 0;
        for (int fd : occupanti) {
            std::string risposta = LeggiFinoAllaChiusura(fd, 3s);
            pollfd p{fd, POLLIN, 0};
            char c;
            if (::poll(&p, 1, 0) == 1 && ::recv(fd, &c, 1, MSG_DONTWAIT) == 0) ++chiusi;
            EXPECT_EQ(risposta.substr(0, 13), lento ? "HTTP/1.1 408 " : "") << risposta;
        }
        EXPECT_EQ(chiusi, 32);
        for (int fd : occupanti) ::close(fd);
        // Each connection counts against the cap until the server has
        // drained it after its answer, at most 500 ms.
        std::this_thread::sleep_for(700ms);
    }
}

TEST_F(Server, AnswersBusyPastItsConnectionCap) {
    ASSERT_GT(porta_, 0);
    std::vector<int> occupanti;
    for (int i = 0; i < 40; ++i) occupanti.push_back(Connetti(porta_));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Chiedi(porta_, "GET", "/download/dati.bin").codice, 503);
    for (int fd : occupanti) ::close(fd);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Chiedi(porta_, "GET", "/download/dati.bin").codice, 200);
}

TEST_F(Server, RefusesWhatItWillNotBufferAndDrainsSmallBodies) {
    ASSERT_GT(porta_, 0);
    const std::string get = "GET /download/dati.bin HTTP/1.1\r\nHost: x\r\n";
    std::string molte;
    for (int i = 0; i < 101; ++i) molte += "X-" + std::to_string(i) + ": 1\r\n";
    struct Caso {
        const char* nome;
        std::string byte;
        std::vector<int> codici;  // the answers, in order, before the close
    };
    const std::vector<Caso> casi = {
        {"600 MiB body, refused unread", get + "Content-Length: 629145600\r\n\r\n" + std::string(1 << 20, 'x'), {413}},
        {"a 20 KiB header", get + "X-Lungo: " + std::string(20000, 'a') + "\r\n\r\n", {431}},
        {"101 headers", get + molte.substr(molte.find("X-1:")) + "\r\n", {431}},
        {"100 headers", get + molte.substr(molte.find("X-3:")) + "Connection: close\r\n\r\n", {200}},
        {"a chunked body", get + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n", {501}},
        {"two lengths", get + "Content-Length: 1\r\nContent-Length: 2\r\n\r\nab", {400}},
        {"a length past 64 bits", get + "Content-Length: 99999999999999999999\r\n\r\n", {400}},
        {"HTTP/2.0", "GET / HTTP/2.0\r\n\r\n", {505}},
        {"not a request line", "\x01\x02\x03\r\n\r\n", {400}},
        {"POST", "POST /download/dati.bin HTTP/1.1\r\nContent-Length: 0\r\nConnection: close\r\n\r\n", {405}},
        {"a header line without a colon", get + "X-Senza-Due-Punti\r\n\r\n", {400}},
        {"a small body is thrown away, the next request served",
         "GET /manca HTTP/1.1\r\nContent-Length: 10\r\n\r\n0123456789" + get + "Connection: close\r\n\r\n",
         {404, 200}},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        std::string risposta = Scambia(porta_, caso.byte);
        std::vector<int> codici;
        for (std::size_t i = 0; (i = risposta.find("HTTP/1.1 ", i)) != std::string::npos; i += 9)
            codici.push_back(std::atoi(risposta.c_str() + i + 9));
        EXPECT_EQ(codici, caso.codici) << risposta.substr(0, 300);
    }
}

// The stop signal sent the moment the port is read, 40 times: a signal
// that came before the accepting loop started used to be lost.
TEST(ServerStop, SignalRightAfterThePortLineIsNeverLost) {
    char modello[] = "/tmp/noce-server-XXXXXX";
    std::string cartella = mkdtemp(modello);
    int fermati = 0;
    for (int i = 0; i < 40; ++i) {
        strumenti::Processo server({NOCE_SERVER_PROGRAMMA, "--port", "0", "--root", cartella},
                                   {}, cartella + "/uscita.txt");
        for (int k = 0; k < 2000 && noce::prova::LeggiFile(cartella + "/uscita.txt").find('\n') == std::string::npos; ++k)
            std::this_thread::sleep_for(1ms);
        server.Segnale(i % 2 ? SIGINT : SIGTERM);
        if (server.Attendi(3s) == 0) ++fermati;
    }
    EXPECT_EQ(fermati, 40);
    fs::remove_all(cartella);
}

}  // namespace
