#pragma once
// A listening socket on 127.0.0.1 with a port the system picks, for the
// small servers the tests script.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace noce::prova {

// Returns the listening socket and sets `porta`.
inline int AscoltaSuLoopback(int coda, int& porta) {
    int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int uno = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &uno, sizeof uno);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(s, coda);
    socklen_t n = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
    porta = ntohs(a.sin_port);
    return s;
}

}  // namespace noce::prova
