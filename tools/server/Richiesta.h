#pragma once
// The head of one HTTP/1.x request, read from its bytes up to the blank
// line, with the limits that keep a hostile client from costing memory.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace server {

inline constexpr std::size_t MassimaTesta = 16 * 1024;   // bytes up to the blank line
inline constexpr std::size_t MassimeIntestazioni = 100;

struct Richiesta {
    std::string metodo, bersaglio, versione;
    std::string percorso;  // the target's path, %XX decoded, without the query
    std::vector<std::pair<std::string, std::string>> intestazioni;
    std::uint64_t lunghezzaCorpo = 0;
    bool tieniAperta = false;  // the client wants the connection kept after the answer

    // The first header of that name (case ignored), or "".
    std::string Intestazione(const std::string& nome) const;
    bool Ha(const std::string& nome) const;
};

// Reads `testa` (the bytes before the blank line) into `r`. 0 when the
// request can be answered, else the status that refuses it: 400, 431 (too
// many or too long headers), 501 (a body framing other than a length),
// 505 (not HTTP/1.x).
int LeggiRichiesta(const std::string& testa, Richiesta& r);

// Where the head ends in `dati`: the index just past its blank line, or 0
// while it is not all there. Bare LF line ends are taken too.
std::size_t FineTesta(const std::string& dati);

}  // namespace server
