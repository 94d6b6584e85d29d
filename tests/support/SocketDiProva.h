#pragma once
// The few socket calls the tests' servers make, on POSIX sockets and on
// Winsock (the Windows test program), and a listening socket on 127.0.0.1
// with a port the system picks.
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cstddef>

namespace noce::prova {

#ifdef _WIN32
using Presa = SOCKET;
// Winsock must be started while a server lives; the system counts the starts.
struct LibreriaSocket {
    LibreriaSocket() {
        WSADATA w;
        WSAStartup(MAKEWORD(2, 2), &w);
    }
    ~LibreriaSocket() { WSACleanup(); }
};
inline bool Leggibile(Presa s, int ms) {
    WSAPOLLFD p{s, POLLIN, 0};
    return WSAPoll(&p, 1, ms) > 0;
}
inline Presa Accetta(Presa s) { return accept(s, nullptr, nullptr); }
inline bool Valida(Presa s) { return s != INVALID_SOCKET; }
inline long Invia(Presa s, const char* d, std::size_t n) { return send(s, d, static_cast<int>(n), 0); }
inline long Ricevi(Presa s, char* d, std::size_t n) { return recv(s, d, static_cast<int>(n), 0); }
// The end of what the server sends, then the socket.
inline void Chiudi(Presa s) {
    shutdown(s, SD_SEND);
    closesocket(s);
}
#else
using Presa = int;
struct LibreriaSocket {};
inline bool Leggibile(Presa s, int ms) {
    pollfd p{s, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
}
inline Presa Accetta(Presa s) { return ::accept4(s, nullptr, nullptr, SOCK_CLOEXEC); }
inline bool Valida(Presa s) { return s >= 0; }
inline long Invia(Presa s, const char* d, std::size_t n) { return ::send(s, d, n, MSG_NOSIGNAL); }
inline long Ricevi(Presa s, char* d, std::size_t n) { return ::recv(s, d, n, 0); }
inline void Chiudi(Presa s) { ::close(s); }
#endif

// Returns the listening socket and sets `porta`.
inline Presa AscoltaSuLoopback(int coda, int& porta) {
#ifdef _WIN32
    Presa s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    int n = sizeof(sockaddr_in);
#else
    Presa s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int uno = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &uno, sizeof uno);
    socklen_t n = sizeof(sockaddr_in);
#endif
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(s, coda);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
    porta = ntohs(a.sin_port);
    return s;
}

}  // namespace noce::prova
