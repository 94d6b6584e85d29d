#include "Ascolto.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>

namespace server {

namespace {

using Orologio = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::string IndirizzoDi(const sockaddr_storage& a) {
    char buf[INET6_ADDRSTRLEN] = "?";
    if (a.ss_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(a).sin_addr, buf, sizeof buf);
    else if (a.ss_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6&>(a).sin6_addr, buf, sizeof buf);
    return buf;
}

// The open connections, so that a stop can end them all.
struct Attive {
    std::mutex m;
    std::condition_variable cv;
    std::set<int> fd;
};

void Avvia(int c, const std::string& indirizzo, const Servizio& servizio, Attive& attive) {
    {
        std::lock_guard<std::mutex> l(attive.m);
        if (attive.fd.size() >= static_cast<std::size_t>(servizio.massimeConnessioni)) {
            RifiutaConnessione(c, 503);
            ::close(c);
            return;
        }
        attive.fd.insert(c);
    }
    auto fine = [c, &attive] {
        std::lock_guard<std::mutex> l(attive.m);
        attive.fd.erase(c);
        ::close(c);
        attive.cv.notify_all();
    };
    try {
        std::thread([c, indirizzo, &servizio, fine] {
            ServiConnessione(c, indirizzo, *servizio.file, servizio.limiti);
            fine();
        }).detach();
    } catch (const std::system_error&) {
        RifiutaConnessione(c, 503);
        fine();
    }
}

bool FermaTutte(Attive& attive) {
    std::unique_lock<std::mutex> l(attive.m);
    for (int c : attive.fd) ::shutdown(c, SHUT_RDWR);
    return attive.cv.wait_for(l, 5s, [&] { return attive.fd.empty(); });
}

}  // namespace

int Ascolta(const std::string& indirizzo, int& porta, std::string& errore) {
    addrinfo chiesto{}, *trovati = nullptr;
    chiesto.ai_family = AF_UNSPEC;
    chiesto.ai_socktype = SOCK_STREAM;
    chiesto.ai_flags = AI_PASSIVE;
    if (int e = getaddrinfo(indirizzo.c_str(), std::to_string(porta).c_str(), &chiesto, &trovati)) {
        errore = gai_strerror(e);
        return -1;
    }
    int fd = -1;
    errore = "nessun indirizzo";
    for (addrinfo* a = trovati; a && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        int si = 1;
        if (fd >= 0) ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &si, sizeof si);
        if (fd >= 0 && (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, 128) != 0)) {
            errore = std::strerror(errno);
            ::close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(trovati);
    sockaddr_storage a{};
    socklen_t n = sizeof a;
    if (fd >= 0 && ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n) == 0)
        porta = ntohs(a.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(a).sin6_port
                                              : reinterpret_cast<sockaddr_in&>(a).sin_port);
    return fd;
}

bool ServiFinoAllArresto(int ascolto, int segnali, const Servizio& servizio) {
    Attive attive;
    const auto fine = Orologio::now() + std::chrono::seconds(servizio.durataS);
    for (;;) {
        int attesa = -1;
        if (servizio.durataS > 0) {
            auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(fine - Orologio::now()).count();
            if (resta <= 0) break;
            attesa = static_cast<int>(std::min<long long>(resta, 1000));
        }
        pollfd p[2] = {{ascolto, POLLIN, 0}, {segnali, POLLIN, 0}};
        int n = ::poll(p, 2, attesa);
        if (n < 0 && errno != EINTR) break;
        if (n <= 0) continue;
        if (p[1].revents) break;
        sockaddr_storage a{};
        socklen_t l = sizeof a;
        int c = ::accept4(ascolto, reinterpret_cast<sockaddr*>(&a), &l, SOCK_CLOEXEC);
        if (c >= 0) {
            Avvia(c, IndirizzoDi(a), servizio, attive);
        } else if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
            // Out of descriptors: let the running connections end some.
            std::this_thread::sleep_for(50ms);
        }
    }
    ::close(ascolto);
    return FermaTutte(attive);
}

}  // namespace server
