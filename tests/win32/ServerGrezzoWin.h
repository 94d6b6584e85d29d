#pragma once
// A raw HTTP server on 127.0.0.1 inside the test program (Winsock): it keeps
// the bytes of each request exactly as they came and answers with bytes the
// test wrote by hand, or with nothing at all.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace noce::prova {

struct RispostaGrezza {
    std::string byte;
    bool rispondi = true;  // false: read the request and say nothing
};

class ServerGrezzoWin {
public:
    explicit ServerGrezzoWin(std::vector<RispostaGrezza> risposte) : risposte_(std::move(risposte)) {
        WSADATA w;
        WSAStartup(MAKEWORD(2, 2), &w);
        ascolto_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(ascolto_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(ascolto_, 8);
        int n = sizeof a;
        getsockname(ascolto_, reinterpret_cast<sockaddr*>(&a), &n);
        porta_ = ntohs(a.sin_port);
        filo_ = std::thread([this] { Servi(); });
    }
    ~ServerGrezzoWin() {
        fermo_ = true;
        filo_.join();
        closesocket(ascolto_);
        WSACleanup();
    }
    ServerGrezzoWin(const ServerGrezzoWin&) = delete;
    ServerGrezzoWin& operator=(const ServerGrezzoWin&) = delete;

    int Porta() const { return porta_; }
    std::string Indirizzo() const { return "127.0.0.1:" + std::to_string(porta_); }

    // Waits (10 s at most) until every connection has been served.
    std::vector<std::string> Richieste() {
        for (int i = 0; i < 400 && !finito_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
        std::lock_guard<std::mutex> l(m_);
        return richieste_;
    }

private:
    bool Leggibile(SOCKET s, int ms) {
        for (int atteso = 0; atteso < ms && !fermo_; atteso += 50) {
            fd_set f;
            FD_ZERO(&f);
            FD_SET(s, &f);
            timeval t{0, 50000};
            if (select(0, &f, nullptr, nullptr, &t) > 0) return true;
        }
        return false;
    }

    void Servi() {
        for (const auto& risposta : risposte_) {
            if (!Leggibile(ascolto_, 20000)) break;
            SOCKET c = accept(ascolto_, nullptr, nullptr);
            if (c == INVALID_SOCKET) break;
            std::string richiesta;
            char buf[4096];
            while (richiesta.find("\r\n\r\n") == std::string::npos && Leggibile(c, 10000)) {
                int k = recv(c, buf, sizeof buf, 0);
                if (k <= 0) break;
                richiesta.append(buf, static_cast<std::size_t>(k));
            }
            if (risposta.rispondi) {
                send(c, risposta.byte.data(), static_cast<int>(risposta.byte.size()), 0);
            } else {
                // Silent until the client gives up.
                while (Leggibile(c, 15000) && recv(c, buf, sizeof buf, 0) > 0) {
                }
            }
            shutdown(c, SD_SEND);
            closesocket(c);
            std::lock_guard<std::mutex> l(m_);
            richieste_.push_back(richiesta);
        }
        finito_ = true;
    }

    std::vector<RispostaGrezza> risposte_;
    SOCKET ascolto_ = INVALID_SOCKET;
    int porta_ = 0;
    std::thread filo_;
    std::atomic<bool> fermo_{false}, finito_{false};
    std::mutex m_;
    std::vector<std::string> richieste_;
};

}  // namespace noce::prova
