#include "Intervallo.h"

namespace server {

bool NumeroDecimale(const std::string& s, std::uint64_t& v) {
    if (s.empty() || s.size() > 19) return false;
    v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

namespace {

std::string Ripulisci(const std::string& s) {
    auto a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    auto b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

}  // namespace

Intervallo LeggiIntervallo(const std::string& intestazione, std::uint64_t dimensione) {
    Intervallo r;
    std::string h = Ripulisci(intestazione);
    if (h.rfind("bytes=", 0) != 0) return r;
    std::string richiesto = Ripulisci(h.substr(6));
    if (richiesto.find(',') != std::string::npos) return r;
    auto trattino = richiesto.find('-');
    if (trattino == std::string::npos) return r;
    std::string a = Ripulisci(richiesto.substr(0, trattino));
    std::string b = Ripulisci(richiesto.substr(trattino + 1));
    std::uint64_t x = 0, y = 0;
    if (a.empty()) {
        // The last N bytes.
        if (!NumeroDecimale(b, y)) return r;
        if (y == 0 || dimensione == 0) {
            r.tipo = Intervallo::Tipo::Insoddisfacibile;
            return r;
        }
        r.tipo = Intervallo::Tipo::Parte;
        r.inizio = y >= dimensione ? 0 : dimensione - y;
        r.fine = dimensione - 1;
        return r;
    }
    if (!NumeroDecimale(a, x)) return r;
    if (b.empty()) {
        y = dimensione == 0 ? 0 : dimensione - 1;
    } else if (!NumeroDecimale(b, y) || y < x) {
        return r;
    }
    if (x >= dimensione) {
        r.tipo = Intervallo::Tipo::Insoddisfacibile;
        return r;
    }
    r.tipo = Intervallo::Tipo::Parte;
    r.inizio = x;
    r.fine = y >= dimensione ? dimensione - 1 : y;
    return r;
}

}  // namespace server
