#pragma once
// noce-server [--port N] [--root DIR] [--bind ADDRESS] [--durata SECONDS]
//             [--attesa-ms N] [--testa-ms N] [--connessioni N]
#include <optional>
#include <string>

namespace server {

struct Opzioni {
    int porta = 80;                   // 0: any free port
    std::string radice;               // the folder served
    std::string indirizzo = "127.0.0.1";
    long durataS = 0;                 // stop by itself after this long; 0: never
    int attesaMs = 5000;              // a connection may sit this long before a request starts
    int testaMs = 10000;              // and take this long to send the request's head
    int connessioni = 256;            // clients served at once; more are answered 503
};

// Empty, with the reason in `errore`, for a line that cannot be used.
std::optional<Opzioni> LeggiOpzioni(int argc, const char* const* argv, std::string& errore);

inline constexpr const char* Uso =
    "uso: noce-server [--port N] [--root CARTELLA] [--bind INDIRIZZO] [--durata SECONDI]\n"
    "                 [--attesa-ms N] [--testa-ms N] [--connessioni N]";

}  // namespace server
