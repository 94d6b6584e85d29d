// The bootstrap: the downloader fetched over the installer's own request,
// against a raw server that keeps the bytes it was sent.
#include <gtest/gtest.h>

#include "Installatore.h"
#include "support/ServerGrezzo.h"
#include "support/RichiestaScaricatore.h"

namespace noce::prova {

namespace {

const std::string Programma = std::string("\x7f" "ELF\x02\x01\x01\0\0\0\r\n\x1a", 13) + std::string(5000, '\x90') + "coda";

std::string Ok(const std::string& corpo, const std::string& altre = "") {
    return "HTTP/1.1 200 OK\r\n" + altre + "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
}

}  // namespace

TEST(ScaricoScaricatore, SendsExactlyTheSixHeadersAndSavesTheBody) {
    Installatore inst;
    ServerGrezzo server({{Ok(Programma, "Content-Type: application/octet-stream\r\n")}});
    Variabile v("NOCE_SERVER", server.Indirizzo());
    // The caption must show before the request holds the thread.
    std::string didascalia;
    inst.ui.suDoEvents = [&] { didascalia = inst.form->lblScritta[1].Caption; };

    inst.form->ScaricoScaricatore();

    auto richieste = server.Richieste();
    ASSERT_EQ(richieste.size(), 1u);
    EXPECT_EQ(richieste[0], RichiestaScaricatore);
    EXPECT_TRUE(server.ChiusePulite().at(0)) << "the body is read by its length, not by waiting for the close";
    EXPECT_TRUE(inst.Leggi("scaricatore.exe") == Programma);
    EXPECT_EQ(didascalia, "Scarico componente");
    EXPECT_EQ(inst.ui.doEvents, 1);
    EXPECT_TRUE(inst.ui.riquadri.empty());
    EXPECT_EQ(inst.Log(), (std::vector<std::string>{"Avvio richiesta scarico UnZip", "Fine scarico Scaricatore"}));
}

TEST(ScaricoScaricatore, SavesWhatTheServerHoldsWhateverTheTransfer) {
    struct Caso {
        const char* nome;
        Risposta risposta;
    };
    const std::string g = Gzip(Programma);
    const Caso casi[] = {
        {"gzip", {Ok(g, "Content-Encoding: gzip\r\n")}},
        {"chunked",
         {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n10\r\n" + Programma.substr(0, 16) + "\r\n" + [&] {
              char n[16];
              std::snprintf(n, sizeof n, "%zX", Programma.size() - 16);
              return std::string(n);
          }() + "\r\n" + Programma.substr(16) + "\r\n0\r\n\r\n"}},
        {"close-delimited", {"HTTP/1.1 200 OK\r\n\r\n" + Programma, true}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        Installatore inst;
        ServerGrezzo server({c.risposta});
        Variabile v("NOCE_SERVER", server.Indirizzo());
        inst.form->ScaricoScaricatore();
        EXPECT_TRUE(inst.ui.riquadri.empty());
        EXPECT_TRUE(inst.Leggi("scaricatore.exe") == Programma);
    }
}

TEST(ScaricoScaricatore, FailsWithItsCheckpointAndSavesNothing) {
    struct Caso {
        const char* nome;
        std::vector<Risposta> risposte;
        std::string server;  // NOCE_SERVER; "" for the raw server
        std::string testo;
        std::uint64_t limite = 0;  // the request's body limit; 0 keeps its own
    };
    const std::string troppo = "-2147012712. La risposta del server supera il limite di 1 MiB";
    const std::string pagina = "<html><body>Non trovato</body></html>";
    const Caso casi[] = {
        {"404 with a page",
         {{"HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(pagina.size()) +
           "\r\n\r\n" + pagina}},
         "",
         "-2147221100.80 Il server ha risposto 404 Not Found"},
        {"500", {{"HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n"}}, "",
         "-2147221004.80 Il server ha risposto 500 Internal Server Error"},
        {"nothing listening", {}, "127.0.0.1:" + std::to_string(PortaChiusa()),
         "-2147012867. Impossibile stabilire una connessione con il server"},
        {"a name that does not resolve", {}, "nessuno.invalid:80",
         "-2147012889. Impossibile risolvere il nome o l'indirizzo del server"},
        {"a body cut off", {{"HTTP/1.1 200 OK\r\nContent-Length: 99999\r\n\r\n" + Programma, true}}, "",
         "-2147012866. La connessione con il server è stata interrotta in modo anomalo"},
        // A little gzip that would inflate past the limit, and a plain body
        // one byte past it, framed both ways.
        {"a gzip bomb", {{Ok(Gzip(std::string(3 << 20, '\0')), "Content-Encoding: gzip\r\n")}}, "", troppo, 1 << 20},
        {"a plain body past the limit", {{Ok(std::string((1 << 20) + 1, 'x'))}}, "", troppo, 1 << 20},
        {"a close-delimited body past the limit", {{"HTTP/1.1 200 OK\r\n\r\n" + std::string((1 << 20) + 1, 'x'), true}},
         "", troppo, 1 << 20},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        Installatore inst;
        std::unique_ptr<ServerGrezzo> server;
        if (!c.risposte.empty()) server = std::make_unique<ServerGrezzo>(c.risposte);
        Variabile v("NOCE_SERVER", server ? server->Indirizzo() : c.server);
        if (c.limite) inst.form->RichiestaHttp->LimiteCorpo = c.limite;

        inst.Esegui([&] { inst.form->ScaricoScaricatore(); });

        EXPECT_TRUE(inst.ui.terminato);
        ASSERT_EQ(inst.ui.riquadri.size(), 1u);
        EXPECT_EQ(inst.ui.riquadri[0].testo, c.testo);
        EXPECT_EQ(inst.ui.riquadri[0].pulsanti, Pulsanti::OK);
        EXPECT_EQ(inst.ui.riquadri[0].icona, Icona::Nessuna);
        EXPECT_EQ(inst.ui.riquadri[0].titolo, "NoceInstallazione");
        EXPECT_EQ(inst.Log(), (std::vector<std::string>{"Avvio richiesta scarico UnZip", "ScaricoScaricatore\r\n" + c.testo}));
        // Neither the program nor a piece of it under another name.
        EXPECT_EQ(inst.Contenuto(), std::vector<std::string>{"files"});
    }
}

TEST(ScaricoScaricatore, AsksAboutAPresentDownloader) {
    // No: no request at all, and the file there is kept.
    {
        Installatore inst;
        ServerGrezzo server({});
        Variabile v("NOCE_SERVER", server.Indirizzo());
        inst.Scrivi("Scaricatore.exe", "vecchio");
        inst.ui.risposte = {vbNo};
        inst.form->ScaricoScaricatore();
        ASSERT_EQ(inst.ui.riquadri.size(), 1u);
        EXPECT_EQ(inst.ui.riquadri[0].testo, "Scaricatore già presente, lo scarico di nuovo?");
        EXPECT_EQ(inst.ui.riquadri[0].pulsanti, Pulsanti::SiNo);
        EXPECT_EQ(inst.ui.riquadri[0].icona, Icona::Domanda);
        EXPECT_EQ(inst.ui.riquadri[0].titolo, "NoceInstallazione");
        EXPECT_FALSE(inst.ui.terminato);
        EXPECT_TRUE(server.Richieste().empty());
        EXPECT_EQ(inst.Leggi("Scaricatore.exe"), "vecchio");
        EXPECT_TRUE(inst.Log().empty());
    }
    // Yes: the present file is replaced whole by what the server sends.
    {
        Installatore inst;
        ServerGrezzo server({{Ok(Programma)}});
        Variabile v("NOCE_SERVER", server.Indirizzo());
        inst.Scrivi("scaricatore.exe", std::string(20000, 'v'));
        inst.ui.risposte = {vbYes};
        inst.form->ScaricoScaricatore();
        EXPECT_EQ(inst.ui.riquadri.size(), 1u);
        EXPECT_EQ(server.Richieste().size(), 1u);
        EXPECT_TRUE(inst.Leggi("scaricatore.exe") == Programma);
        EXPECT_EQ(inst.Contenuto(), (std::vector<std::string>{"files", "scaricatore.exe"}));
        EXPECT_EQ(inst.Log(), (std::vector<std::string>{"Avvio richiesta scarico UnZip", "Fine scarico Scaricatore"}));
    }
}

}  // namespace noce::prova
