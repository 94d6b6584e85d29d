// One TCP connection with explicit time-outs: a non-blocking connect bounded
// by poll, then every send and receive bounded on its own.
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "Http.h"

namespace noce::posix::http {

namespace {

using Orologio = std::chrono::steady_clock;

int MillisecondiRimasti(Orologio::time_point scadenza) {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - Orologio::now()).count();
    return ms < 0 ? 0 : static_cast<int>(ms);
}

// Waits for an event on the socket until the deadline; false on time-out.
bool Attendi(int fd, short evento, Orologio::time_point scadenza) {
    for (;;) {
        pollfd p{fd, evento, 0};
        int r = ::poll(&p, 1, MillisecondiRimasti(scadenza));
        if (r > 0) return true;
        if (r == 0) return false;
        if (errno != EINTR) throw ErroreWinHttp(codice::ConnessioneInterrotta);
    }
}

struct Indirizzi {
    addrinfo* lista = nullptr;
    ~Indirizzi() {
        if (lista) freeaddrinfo(lista);
    }
};

}  // namespace

Connessione::Connessione(const std::string& host, int porta, int timeoutMs) {
    const auto scadenza = Orologio::now() + std::chrono::milliseconds(timeoutMs);
    addrinfo suggerimenti{};
    suggerimenti.ai_family = AF_UNSPEC;
    suggerimenti.ai_socktype = SOCK_STREAM;
    // Every address is tried in turn, so an unusable family (::1 on a host
    // without IPv6) costs one failed attempt, not the connection.
    Indirizzi indirizzi;
    int r = getaddrinfo(host.c_str(), std::to_string(porta).c_str(), &suggerimenti, &indirizzi.lista);
    if (r != 0) {
        if (r == EAI_MEMORY) throw ErroreDi(err::MemoriaInsufficiente);
        throw ErroreWinHttp(codice::NomeNonRisolto);
    }

    int ultimo = codice::ConnessioneImpossibile;
    for (addrinfo* a = indirizzi.lista; a; a = a->ai_next) {
        if (MillisecondiRimasti(scadenza) == 0) {
            ultimo = codice::Timeout;
            break;
        }
        int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        bool connesso = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0;
        if (!connesso && errno == EINPROGRESS) {
            if (!Attendi(fd, POLLOUT, scadenza)) {
                ::close(fd);
                ultimo = codice::Timeout;
                continue;
            }
            int errore = 0;
            socklen_t n = sizeof errore;
            connesso = getsockopt(fd, SOL_SOCKET, SO_ERROR, &errore, &n) == 0 && errore == 0;
        }
        if (!connesso) {
            ::close(fd);
            ultimo = codice::ConnessioneImpossibile;
            continue;
        }
        // The request goes out in one write; do not hold it back.
        int uno = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &uno, sizeof uno);
        fd_ = fd;
        return;
    }
    throw ErroreWinHttp(ultimo);
}

Connessione::~Connessione() {
    if (fd_ >= 0) ::close(fd_);
}

void Connessione::Invia(const std::string& dati, int timeoutMs) {
    std::size_t inviati = 0;
    while (inviati < dati.size()) {
        ssize_t k = ::send(fd_, dati.data() + inviati, dati.size() - inviati, MSG_NOSIGNAL);
        if (k >= 0) {
            inviati += static_cast<std::size_t>(k);
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) throw ErroreWinHttp(codice::ConnessioneInterrotta);
        if (!Attendi(fd_, POLLOUT, Orologio::now() + std::chrono::milliseconds(timeoutMs)))
            throw ErroreWinHttp(codice::Timeout);
    }
}

std::size_t Connessione::Ricevi(char* buf, std::size_t n, int timeoutMs) {
    const auto scadenza = Orologio::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        ssize_t k = ::recv(fd_, buf, n, 0);
        if (k >= 0) return static_cast<std::size_t>(k);
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) throw ErroreWinHttp(codice::ConnessioneInterrotta);
        if (!Attendi(fd_, POLLIN, scadenza)) throw ErroreWinHttp(codice::Timeout);
    }
}

}  // namespace noce::posix::http
