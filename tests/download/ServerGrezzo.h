#pragma once
// A raw HTTP server on 127.0.0.1 for one test: it records each request's
// bytes exactly as they came and answers with bytes the test wrote by hand.
// Unless told to close, it keeps the connection open after its answer, as a
// keep-alive server does, and notes whether the client closed it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/Comprimi.h"
#include "support/SocketDiProva.h"

namespace noce::prova {

struct Risposta {
    std::string byte;           // what the server writes, as it is
    bool chiudiDopo = false;    // close after writing (a close-delimited body)
    bool rispondi = true;       // false: read the request and say nothing
};

class ServerGrezzo {
public:
    explicit ServerGrezzo(std::vector<Risposta> risposte) : risposte_(std::move(risposte)) {
        ascolto_ = noce::prova::AscoltaSuLoopback(8, porta_);
        filo_ = std::thread([this] { Servi(); });
    }
    ~ServerGrezzo() {
        fermo_ = true;
        filo_.join();
        ::close(ascolto_);
    }
    ServerGrezzo(const ServerGrezzo&) = delete;
    ServerGrezzo& operator=(const ServerGrezzo&) = delete;

    int Porta() const { return porta_; }
    std::string Indirizzo() const { return "127.0.0.1:" + std::to_string(porta_); }

    // Waits until every connection has been served, then tells what came.
    std::vector<std::string> Richieste() {
        Attendi();
        std::lock_guard<std::mutex> l(m_);
        return richieste_;
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
        for (int i = 0; i < 400 && !finito_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }

    // Waits for readable data, giving up when the test is over.
    bool Leggibile(int fd, int ms) {
        for (int atteso = 0; atteso < ms && !fermo_; atteso += 50) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) return true;
        }
        return false;
    }

    void Servi() {
        for (const auto& risposta : risposte_) {
            if (!Leggibile(ascolto_, 20000)) break;
            int c = ::accept4(ascolto_, nullptr, nullptr, SOCK_CLOEXEC);
            if (c < 0) break;
            std::string richiesta;
            char buf[4096];
            while (richiesta.find("\r\n\r\n") == std::string::npos && Leggibile(c, 10000)) {
                ssize_t k = ::recv(c, buf, sizeof buf, 0);
                if (k <= 0) break;
                richiesta.append(buf, static_cast<std::size_t>(k));
            }
            if (risposta.rispondi) {
                std::size_t inviati = 0;
                while (inviati < risposta.byte.size()) {
                    ssize_t k = ::send(c, risposta.byte.data() + inviati, risposta.byte.size() - inviati, MSG_NOSIGNAL);
                    if (k <= 0) break;
                    inviati += static_cast<std::size_t>(k);
                }
            }
            bool pulita = false;
            if (!risposta.chiudiDopo) {
                // Kept alive: the client must close, and send nothing more.
                if (Leggibile(c, 15000)) pulita = ::recv(c, buf, sizeof buf, 0) == 0;
            }
            ::close(c);
            std::lock_guard<std::mutex> l(m_);
            richieste_.push_back(richiesta);
            chiusePulite_.push_back(pulita);
        }
        finito_ = true;
    }

    std::vector<Risposta> risposte_;
    int ascolto_ = -1;
    int porta_ = 0;
    std::thread filo_;
    std::atomic<bool> fermo_{false}, finito_{false};
    std::mutex m_;
    std::vector<std::string> richieste_;
    std::vector<bool> chiusePulite_;
};

// A port on 127.0.0.1 that nothing listens on.
inline int PortaChiusa() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t n = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
    ::close(fd);
    return ntohs(a.sin_port);
}


}  // namespace noce::prova
