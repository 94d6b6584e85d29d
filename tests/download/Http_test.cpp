// The HTTP request object against a server that answers with hand-written
// bytes: how each kind of body is framed and decoded, and what each kind of
// failure is reported as.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/ServerGrezzo.h"
#include "platform/Errori.h"
#include "platform/RichiestaHttp.h"

namespace noce::prova {

namespace {

std::string Zlib(const std::string& d) { return Comprimi(d, MAX_WBITS); }
std::string Grezzo(const std::string& d) { return Comprimi(d, -MAX_WBITS); }

std::string ConLunghezza(const std::string& testata, const std::string& corpo) {
    return testata + "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
}

// Bytes that a text-mode reader or a C string would damage.
const std::string Binario = std::string("MZ\0\x01\r\n\x1a\xff\r\n\r\n", 12) + std::string(70000, 'x') + "fine";

}  // namespace

struct CasoRisposta {
    const char* nome;
    std::string metodo;
    Risposta risposta;
    int status;
    std::string testo;
    std::string corpo;
};

TEST(RichiestaHttp, FramesAndDecodesEveryKindOfBody) {
    const std::string g = Gzip(Binario);
    const std::string chunkedGzip = "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nTransfer-Encoding: chunked\r\n\r\n" +
                                    [&] {
                                        char n[16];
                                        std::snprintf(n, sizeof n, "%zx", g.size() - 100);
                                        return std::string(n) + "\r\n" + g.substr(0, g.size() - 100) + "\r\n64\r\n" +
                                               g.substr(g.size() - 100) + "\r\n0\r\n\r\n";
                                    }();
    const CasoRisposta casi[] = {
        {"Content-Length, kept alive", "GET", {ConLunghezza("HTTP/1.1 200 OK\r\n", Binario)}, 200, "OK", Binario},
        {"chunked with extensions and a trailer",
         "GET",
         {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5;nome=valore\r\nciao \r\nA\r\n0123456789\r\n"
          "0\r\nX-Coda: 1\r\n\r\n"},
         200,
         "OK",
         "ciao 0123456789"},
        {"close-delimited", "GET", {"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nfino alla fine", true}, 200, "OK",
         "fino alla fine"},
        {"HTTP/1.0 without a length", "GET", {"HTTP/1.0 200 OK\r\n\r\nvecchio", true}, 200, "OK", "vecchio"},
        {"204 kept alive", "GET", {"HTTP/1.1 204 No Content\r\n\r\n"}, 204, "No Content", ""},
        {"304 with a length it does not send", "GET", {"HTTP/1.1 304 Not Modified\r\nContent-Length: 10\r\n\r\n"},
         304, "Not Modified", ""},
        {"HEAD with a length it does not send", "HEAD", {"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n"}, 200,
         "OK", ""},
        {"100 Continue before the answer", "GET",
         {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\ncontent-length: 2\r\n\r\nok"}, 200, "OK", "ok"},
        {"a folded header and a reason with blanks", "GET",
         {"HTTP/1.1 404 Not Found\r\nX-Lunga: a\r\n b\r\nContent-Length: 4\r\n\r\nnulla"}, 404, "Not Found", "null"},
        {"gzip", "GET", {ConLunghezza("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n", g)}, 200, "OK", Binario},
        {"two gzip members", "GET",
         {ConLunghezza("HTTP/1.1 200 OK\r\nContent-Encoding: GZIP\r\n", Gzip("prima ") + Gzip("seconda"))}, 200, "OK",
         "prima seconda"},
        {"gzip, chunked", "GET", {chunkedGzip}, 200, "OK", Binario},
        {"deflate with the zlib wrapper", "GET",
         {ConLunghezza("HTTP/1.1 200 OK\r\nContent-Encoding: deflate\r\n", Zlib(Binario))}, 200, "OK", Binario},
        {"raw deflate", "GET", {ConLunghezza("HTTP/1.1 200 OK\r\nContent-Encoding: deflate\r\n", Grezzo(Binario))},
         200, "OK", Binario},
        {"deflate whose first chunk is one byte", "GET",
         {"HTTP/1.1 200 OK\r\nContent-Encoding: deflate\r\nTransfer-Encoding: chunked\r\n\r\n1\r\n" +
          Zlib(Binario).substr(0, 1) + "\r\n" + [&] {
              char n[16];
              std::snprintf(n, sizeof n, "%zx", Zlib(Binario).size() - 1);
              return std::string(n);
          }() + "\r\n" + Zlib(Binario).substr(1) + "\r\n0\r\n\r\n"},
         200, "OK", Binario},
        {"gzip over deflate", "GET",
         {ConLunghezza("HTTP/1.1 200 OK\r\nContent-Encoding: deflate, gzip\r\n", Gzip(Zlib("strati")))}, 200, "OK",
         "strati"},
        {"identity", "GET", {ConLunghezza("HTTP/1.1 200 OK\r\nContent-Encoding: identity\r\n", "com'è")}, 200, "OK",
         "com'è"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        ServerGrezzo server({c.risposta});
        WinHttpRequest r;
        r.TimeoutRicezione = 5000;
        r.Open(c.metodo, "http://127.0.0.1:" + std::to_string(server.Porta()) + "/x", false);
        ASSERT_NO_THROW(r.Send());
        EXPECT_EQ(r.Status(), c.status);
        EXPECT_EQ(r.StatusText(), c.testo);
        EXPECT_TRUE(r.ResponseBody() == c.corpo) << r.ResponseBody().size() << " bytes instead of " << c.corpo.size();
        if (!c.risposta.chiudiDopo) {
            auto chiuse = server.ChiusePulite();
            ASSERT_EQ(chiuse.size(), 1u);
            EXPECT_TRUE(chiuse[0]) << "the client must close a kept-alive connection itself, once the body is read";
        }
    }
}

struct CasoErrore {
    const char* nome;
    std::vector<Risposta> risposte;  // none: nothing listens
    std::string url;                 // "" for the test server's /x
    std::int64_t numero;
    std::string descrizione;
};

TEST(RichiestaHttp, ReportsEachFailureWithItsWinHttpNumber) {
    const std::string interrotta = "La connessione con il server è stata interrotta in modo anomalo";
    const std::string nonValida = "Risposta del server non valida";
    const CasoErrore casi[] = {
        {"body shorter than its length", {{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nsolo questo", true}}, "",
         -2147012866, interrotta},
        {"chunked body cut off", {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n10\r\nmeta", true}}, "",
         -2147012866, interrotta},
        {"closed with no answer", {{"", true}}, "", -2147012866, interrotta},
        {"headers cut off", {{"HTTP/1.1 200 OK\r\nContent-Le", true}}, "", -2147012866, interrotta},
        {"not HTTP", {{"SSH-2.0-OpenSSH_9.2\r\n\r\n", true}}, "", -2147012744, nonValida},
        {"a chunk size that is no number", {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n", true}},
         "", -2147012744, nonValida},
        {"two different lengths", {{"HTTP/1.1 200 OK\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\nabcd", true}},
         "", -2147012744, nonValida},
        {"a header line without a colon", {{"HTTP/1.1 200 OK\r\nsbagliata\r\n\r\n", true}}, "", -2147012744,
         nonValida},
        {"gzip declared, not gzip", {{ConLunghezza("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n", "non compresso")}},
         "", -2147012744, nonValida},
        {"gzip cut short", {{ConLunghezza("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n", Gzip(Binario).substr(0, Gzip(Binario).size() - 9))}},
         "", -2147012744, nonValida},
        {"a coding never asked for", {{ConLunghezza("HTTP/1.1 200 OK\r\nContent-Encoding: br\r\n", "xyz")}}, "",
         -2147012744, nonValida},
        {"a server that never answers", {{"", false, false}}, "", -2147012894, "Timeout dell'operazione"},
        {"nothing listening", {}, "http://127.0.0.1:" + std::to_string(PortaChiusa()) + "/x", -2147012867,
         "Impossibile stabilire una connessione con il server"},
        {"a name that does not resolve", {}, "http://nessuno.invalid/x", -2147012889,
         "Impossibile risolvere il nome o l'indirizzo del server"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        std::unique_ptr<ServerGrezzo> server;
        if (!c.risposte.empty()) server = std::make_unique<ServerGrezzo>(c.risposte);
        WinHttpRequest r;
        r.TimeoutRicezione = 300;
        r.Open("GET", c.url.empty() ? "http://127.0.0.1:" + std::to_string(server->Porta()) + "/x" : c.url, false);
        try {
            r.Send();
            ADD_FAILURE() << "Send must fail";
        } catch (const ErroreRuntime& e) {
            EXPECT_EQ(e.Numero(), c.numero);
            EXPECT_EQ(e.Descrizione(), c.descrizione);
        }
        EXPECT_EQ(r.Status(), 0) << "a failed request has no status";
        EXPECT_TRUE(r.ResponseBody().empty());
        EXPECT_THROW(r.SaveResponseBody("C:\\nulla.exe"), ErroreRuntime) << "no body to save";
    }
}

TEST(RichiestaHttp, GivesUpAConnectionThatIsNeverAccepted) {
    // A listener whose accept queue is full drops further SYNs, so the
    // connect hangs as it would towards a host that has gone away.
    int ascolto = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(ascolto, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(ascolto, 0);
    socklen_t n = sizeof a;
    getsockname(ascolto, reinterpret_cast<sockaddr*>(&a), &n);
    std::vector<int> coda;
    for (int i = 0; i < 3; ++i) {
        coda.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        ::connect(coda.back(), reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    WinHttpRequest r;
    r.TimeoutConnessione = 300;
    r.Open("GET", "http://127.0.0.1:" + std::to_string(ntohs(a.sin_port)) + "/", false);
    try {
        r.Send();
        ADD_FAILURE() << "Send must fail";
    } catch (const ErroreRuntime& e) {
        EXPECT_EQ(e.Numero(), -2147012894);
    }
    for (int fd : coda) ::close(fd);
    ::close(ascolto);
}

TEST(RichiestaHttp, AddsOnlyAMissingHostAndRefusesWhatItCannotSend) {
    // With no Host of its own the request still has one; the path is
    // escaped and the fragment stays with the client.
    {
        ServerGrezzo server({{"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"}});
        WinHttpRequest r;
        r.Open("GET", "http://127.0.0.1:" + std::to_string(server.Porta()) + "/una cartella/x?a=1#parte", false);
        r.Send();
        EXPECT_EQ(server.Richieste().at(0), "GET /una%20cartella/x?a=1 HTTP/1.1\r\nHost: 127.0.0.1:" +
                                                 std::to_string(server.Porta()) + "\r\n\r\n");
    }
    // A value with a line break would add a header of its own.
    WinHttpRequest r;
    r.Open("GET", "http://127.0.0.1/", false);
    EXPECT_THROW(r.SetRequestHeader("X", "a\r\nIniettata: 1"), ErroreRuntime);
    EXPECT_THROW(r.SetRequestHeader("Con spazio", "a"), ErroreRuntime);
    EXPECT_THROW(r.Open("GET", "https://127.0.0.1/", false), ErroreRuntime);
    EXPECT_THROW(r.Open("GET", "http://127.0.0.1:99999/", false), ErroreRuntime);
    EXPECT_THROW(r.Open("GET", "http://127.0.0.1/", true), ErroreRuntime);
}

}  // namespace noce::prova
