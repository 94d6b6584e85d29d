#pragma once
// The pieces of the HTTP request object on a Linux host: the URL and one
// TCP connection with its time-outs.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "../Http.h"

namespace noce::posix::http {

using namespace noce::http;

struct Url {
    std::string host;      // without brackets for an IPv6 literal
    int porta = 80;
    std::string percorso;  // path and query, never empty
};
// Only http URLs; throws ErroreWinHttp otherwise.
Url AnalizzaUrl(const std::string& url);

// One TCP connection, closed when the object goes.
class Connessione {
public:
    // Connects to the first address of host that answers within the
    // time-out (milliseconds, over all the addresses together).
    Connessione(const std::string& host, int porta, int timeoutMs);
    ~Connessione();
    Connessione(const Connessione&) = delete;
    Connessione& operator=(const Connessione&) = delete;

    // Sends every byte; each wait for the socket to take more is bounded.
    void Invia(const std::string& dati, int timeoutMs);
    // Receives at most n bytes, waiting at most timeoutMs for the first;
    // 0 at the end of the stream.
    std::size_t Ricevi(char* buf, std::size_t n, int timeoutMs);

private:
    int fd_ = -1;
};

}  // namespace noce::posix::http
