#pragma once
// A raw HTTP server for one test: it records each request's bytes exactly as
// they came and answers with bytes the test wrote by hand. Unless told to
// close, it keeps the connection open after its answer, as a keep-alive
// server does, and notes whether the client closed it.
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/Comprimi.h"
#include "support/ServerDiProva.h"

namespace noce::prova {

struct Risposta {
    std::string byte;           // what the server writes, as it is
    bool chiudiDopo = false;    // close after writing (a close-delimited body)
    bool rispondi = true;       // false: read the request and say nothing
};

// The scripted answers, one a connection in turn, on the tests' server; a
// connection past the script is closed at once.
class ServerGrezzo {
public:
    explicit ServerGrezzo(std::vector<Risposta> risposte)
        : risposte_(std::move(risposte)), chiusePulite_(risposte_.size(), false) {}

    int Porta() const { return server_.Porta(); }
    std::string Indirizzo() const { return server_.Indirizzo(); }

    // Waits until every connection has been served, then tells what came.
    std::vector<std::string> Richieste() {
        Attendi();
        return server_.Richieste();
    }
    // Whether the client closed each kept-alive connection by itself, and
    // sent nothing more before it did.
    std::vector<bool> ChiusePulite() {
        Attendi();
        std::lock_guard<std::mutex> l(m_);
        return chiusePulite_;
    }

private:
    void Attendi() {
        for (int i = 0; i < 400 && serviti_ < risposte_.size(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }

    void Servi(int numero, Presa fd) {
        if (static_cast<std::size_t>(numero) >= risposte_.size()) return;
        const Risposta& risposta = risposte_[static_cast<std::size_t>(numero)];
        if (risposta.rispondi) strumenti::ServerDiProva::Scrivi(fd, risposta.byte);
        bool pulita = false;
        if (!risposta.chiudiDopo) {
            // Kept alive: the client must close, and send nothing more.
            char c;
            if (server_.Leggibile(fd, std::chrono::seconds(15))) pulita = Ricevi(fd, &c, 1) == 0;
        }
        {
            std::lock_guard<std::mutex> l(m_);
            chiusePulite_[static_cast<std::size_t>(numero)] = pulita;
        }
        ++serviti_;
    }

    const std::vector<Risposta> risposte_;
    std::mutex m_;
    std::vector<bool> chiusePulite_;
    std::atomic<std::size_t> serviti_{0};
    // Last, so that it stops, and its connections end, before the rest goes.
    strumenti::ServerDiProva server_{[this](int numero, const std::string&, Presa fd) { Servi(numero, fd); }};
};

// A port on 127.0.0.1 that nothing listens on.
inline int PortaChiusa() {
    [[maybe_unused]] LibreriaSocket libreria;
    int porta = 0;
    Chiudi(AscoltaSuLoopback(1, porta));
    return porta;
}

}  // namespace noce::prova
