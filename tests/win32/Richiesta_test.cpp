// The installer's own request on WinHTTP, against a raw server that keeps
// the bytes it was sent: the bootstrap's six headers and nothing else.
#include <gtest/gtest.h>

#include "AiutiWin.h"
#include "platform/RichiestaHttp.h"
#include "platform/Sistema.h"
#include "support/Comprimi.h"
#include "support/RichiestaScaricatore.h"
#include "support/ServerGrezzo.h"

#include <chrono>

namespace noce::prova {

namespace {

const std::string Programma = std::string("MZ\x90\0\x03\0\r\n\x1a\xff", 10) + std::string(70000, '\x90') + "coda";

std::string Ok(const std::string& corpo, const std::string& altre = "") {
    return "HTTP/1.1 200 OK\r\n" + altre + "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
}

// The bootstrap's request, header by header, as ScaricoScaricatore sets it.
void Bootstrap(WinHttpRequest& r) {
    r.Open("GET", std::string("http://") + HostServer + "/download/scaricatore.exe", false);
    r.SetRequestHeader("Accept",
                       "image/gif, image/jpeg, image/pjpeg, image/pjpeg, application/x-shockwave-flash, "
                       "application/x-ms-application, application/x-ms-xbap, application/vnd.ms-xpsdocument, "
                       "application/xaml+xml, */*");
    r.SetRequestHeader("Accept-Language", "it");
    r.SetRequestHeader("User-Agent",
                       "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 5.1; Trident/4.0; GTB6.4; .NET CLR 2.0.50727; "
                       ".NET CLR 3.0.4506.2152; .NET CLR 3.5.30729)");
    r.SetRequestHeader("Accept-Encoding", "gzip, deflate");
    r.SetRequestHeader("Host", HostServer);
    r.SetRequestHeader("Connection", "Keep-Alive");
}

}  // namespace

TEST(Richiesta, TheBootstrapPutsItsSixHeadersOnTheWireAndTheBodyIsSavedWhole) {
    struct Caso {
        const char* nome;
        std::string risposta;
    };
    const Caso casi[] = {
        {"plain", Ok(Programma, "Content-Type: application/octet-stream\r\n")},
        {"gzip", Ok(Gzip(Programma), "Content-Encoding: gzip\r\n")},
        {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n10\r\n" + Programma.substr(0, 16) + "\r\n" +
                        [] {
                            char n[16];
                            std::snprintf(n, sizeof n, "%zX", Programma.size() - 16);
                            return std::string(n);
                        }() +
                        "\r\n" + Programma.substr(16) + "\r\n0\r\n\r\n"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        ServerGrezzo server({{c.risposta, true}});
        // The connection goes to the test server; the Host stays the product's.
        Variabile v("NOCE_SERVER", server.Indirizzo());
        WinHttpRequest r;
        Bootstrap(r);
        ASSERT_NO_THROW(r.Send());
        auto richieste = server.Richieste();
        ASSERT_EQ(richieste.size(), 1u);
        EXPECT_EQ(richieste[0], RichiestaScaricatore);
        EXPECT_EQ(r.Status(), 200);
        CartellaTemporanea t;
        sistema::SalvaBytes(t("scaricatore.exe"), r.ResponseBody());
        EXPECT_TRUE(LeggiFile(t.W("scaricatore.exe")) == Programma);
        // Straight from the body's temporary file, as the bootstrap saves it.
        r.SaveResponseBody(t("salvato.exe"));
        EXPECT_TRUE(LeggiFile(t.W("salvato.exe")) == Programma);
    }
}

TEST(Richiesta, ABodyPastTheLimitFailsTheRequest) {
    const std::string casi[] = {
        Ok(Gzip(std::string(3 << 20, '\0')), "Content-Encoding: gzip\r\n"),
        Ok(std::string((1 << 20) + 1, 'x')),
    };
    for (const auto& c : casi) {
        ServerGrezzo server({{c, true}});
        Variabile v("NOCE_SERVER", server.Indirizzo());
        WinHttpRequest r;
        r.LimiteCorpo = 1 << 20;
        Bootstrap(r);
        try {
            r.Send();
            ADD_FAILURE() << "no error";
        } catch (const ErroreRuntime& e) {
            EXPECT_EQ(e.Numero(), -2147012712);
            EXPECT_EQ(e.Descrizione(), "La risposta del server supera il limite di 1 MiB");
        }
        EXPECT_TRUE(r.ResponseBody().empty());
    }
}

TEST(Richiesta, FailuresCarryWinHttpsNumbersWithinTheirTimeOuts) {
    struct Caso {
        const char* nome;
        bool server;  // false: nothing listens
        int ricezione;
        std::int64_t numero;
        double entro;  // seconds
    };
    const Caso casi[] = {
        {"nothing listens", false, 30000, -2147012867, 10},  // 12029
        {"the server says nothing", true, 800, -2147012894, 10},  // 12002
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        std::unique_ptr<ServerGrezzo> server;
        std::string indirizzo = "127.0.0.1:1";
        if (c.server) {
            server = std::make_unique<ServerGrezzo>(std::vector<Risposta>{{"", false, false}});
            indirizzo = server->Indirizzo();
        }
        Variabile v("NOCE_SERVER", indirizzo);
        WinHttpRequest r;
        r.TimeoutRicezione = c.ricezione;
        Bootstrap(r);
        auto inizio = std::chrono::steady_clock::now();
        try {
            r.Send();
            ADD_FAILURE() << "no error";
        } catch (const ErroreRuntime& e) {
            EXPECT_EQ(e.Numero(), c.numero) << e.Descrizione();
            EXPECT_FALSE(e.Descrizione().empty());
        }
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count(), c.entro);
    }
}

}  // namespace noce::prova
