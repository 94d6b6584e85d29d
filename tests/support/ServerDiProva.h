#pragma once
// The tests' HTTP server on 127.0.0.1: each connection is handed, with its
// request, to the test's own function, which writes bytes by hand, stalls,
// or hangs up half-way. Each connection has its own thread; the destructor
// wakes every stalled one and waits for all.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/SocketDiProva.h"

namespace strumenti {

class ServerDiProva {
public:
    // Called once per connection: its number (0 first), the request's bytes
    // up to the blank line, and the socket to answer on.
    using Presa = noce::prova::Presa;
    using Gestore = std::function<void(int numero, const std::string& richiesta, Presa fd)>;

    explicit ServerDiProva(Gestore gestore) : gestore_(std::move(gestore)) {
        ascolto_ = noce::prova::AscoltaSuLoopback(16, porta_);
        accettatore_ = std::thread([this] { Accetta(); });
    }
    ~ServerDiProva() {
        {
            std::lock_guard<std::mutex> l(m_);
            fermo_ = true;
        }
        cv_.notify_all();
        accettatore_.join();
        for (auto& t : connessioni_) t.join();
        noce::prova::Chiudi(ascolto_);
    }
    ServerDiProva(const ServerDiProva&) = delete;
    ServerDiProva& operator=(const ServerDiProva&) = delete;

    std::string Indirizzo() const { return "127.0.0.1:" + std::to_string(porta_); }
    int Porta() const { return porta_; }

    std::vector<std::string> Richieste() {
        std::lock_guard<std::mutex> l(m_);
        return richieste_;
    }

    // Whether `fd` has something to read (or its peer closed) within
    // `limite`; false at once when the server is being taken down.
    bool Leggibile(Presa fd, std::chrono::milliseconds limite) {
        auto fine = std::chrono::steady_clock::now() + limite;
        while (std::chrono::steady_clock::now() < fine) {
            {
                std::lock_guard<std::mutex> l(m_);
                if (fermo_) return false;
            }
            if (noce::prova::Leggibile(fd, 50)) return true;
        }
        return false;
    }

    // A stall that ends early when the server is being taken down.
    void Dormi(std::chrono::milliseconds quanto) {
        std::unique_lock<std::mutex> l(m_);
        cv_.wait_for(l, quanto, [this] { return fermo_; });
    }

    static bool Scrivi(Presa fd, const std::string& byte) {
        std::size_t fatto = 0;
        while (fatto < byte.size()) {
            long k = noce::prova::Invia(fd, byte.data() + fatto, byte.size() - fatto);
            if (k <= 0) return false;
            fatto += static_cast<std::size_t>(k);
        }
        return true;
    }

private:
    void Accetta() {
        int numero = 0;
        for (;;) {
            {
                std::lock_guard<std::mutex> l(m_);
                if (fermo_) return;
            }
            if (!noce::prova::Leggibile(ascolto_, 20)) continue;
            Presa fd = noce::prova::Accetta(ascolto_);
            if (!noce::prova::Valida(fd)) continue;
            int n = numero++;
            std::lock_guard<std::mutex> l(m_);
            connessioni_.emplace_back([this, fd, n] { Servi(fd, n); });
        }
    }

    void Servi(Presa fd, int numero) {
        std::string richiesta;
        char buf[4096];
        auto fine = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (richiesta.find("\r\n\r\n") == std::string::npos && std::chrono::steady_clock::now() < fine) {
            if (!noce::prova::Leggibile(fd, 50)) continue;
            long k = noce::prova::Ricevi(fd, buf, sizeof buf);
            if (k <= 0) break;
            richiesta.append(buf, static_cast<std::size_t>(k));
        }
        {
            std::lock_guard<std::mutex> l(m_);
            richieste_.push_back(richiesta);
        }
        gestore_(numero, richiesta, fd);
        noce::prova::Chiudi(fd);
    }

    noce::prova::LibreriaSocket libreria_;
    Gestore gestore_;
    Presa ascolto_{};
    int porta_ = 0;
    std::thread accettatore_;
    std::vector<std::thread> connessioni_;
    std::vector<std::string> richieste_;
    std::mutex m_;
    std::condition_variable cv_;
    bool fermo_ = false;
};

// The value of a request header ("" when absent), name without regard to case.
inline std::string Intestazione(const std::string& richiesta, const std::string& nome) {
    std::size_t i = 0;
    while ((i = richiesta.find("\r\n", i)) != std::string::npos) {
        i += 2;
        if (richiesta.size() - i < nome.size() + 1) break;
        bool uguale = true;
        for (std::size_t k = 0; k < nome.size(); ++k)
            if (std::tolower(static_cast<unsigned char>(richiesta[i + k])) !=
                std::tolower(static_cast<unsigned char>(nome[k])))
                uguale = false;
        if (uguale && richiesta[i + nome.size()] == ':') {
            std::size_t a = i + nome.size() + 1;
            std::size_t b = richiesta.find("\r\n", a);
            std::string v = richiesta.substr(a, b - a);
            while (!v.empty() && v.front() == ' ') v.erase(0, 1);
            return v;
        }
    }
    return "";
}

}  // namespace strumenti
