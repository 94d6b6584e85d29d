// What the response body's file is on every platform: read back whole, or
// copied under its target's name in one replacement.
#include "CorpoRisposta.h"

#include "Sistema.h"

namespace noce {

std::string CorpoRisposta::Leggi() const {
    std::string tutto;
    char buf[65536];
    while (std::size_t k = Leggi(buf, sizeof buf, tutto.size())) tutto.append(buf, k);
    return tutto;
}

void CorpoRisposta::Salva(const std::string& percorso) const {
    unsigned long long posizione = 0;
    sistema::SalvaAPezzi(percorso, [&](char* buf, std::size_t n) {
        std::size_t k = Leggi(buf, n, posizione);
        posizione += k;
        return k;
    });
}

}  // namespace noce
