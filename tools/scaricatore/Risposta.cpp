#include "Risposta.h"

#include <cctype>
#include <cstdlib>

namespace scaricatore {

namespace {

std::string_view Ripulisci(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool UgualeNome(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::int64_t Numero(std::string_view s) {
    s = Ripulisci(s);
    if (s.empty()) return -1;
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

// "bytes 100-199/1000" or "bytes 100-199/*".
void LeggiContentRange(std::string_view v, Risposta& r) {
    v = Ripulisci(v);
    if (v.substr(0, 6) != "bytes ") return;
    v.remove_prefix(6);
    auto trattino = v.find('-');
    auto barra = v.find('/');
    if (trattino == std::string_view::npos || barra == std::string_view::npos || barra < trattino) return;
    r.inizioIntervallo = Numero(v.substr(0, trattino));
    std::string_view totale = Ripulisci(v.substr(barra + 1));
    r.totaleIntervallo = totale == "*" ? -1 : Numero(totale);
}

}  // namespace

std::string Risposta::Validatore() const {
    if (!etag.empty() && etag.rfind("W/", 0) != 0) return etag;
    return ultimaModifica;
}

void LeggiIntestazione(std::string_view riga, Risposta& r) {
    riga = Ripulisci(riga);
    if (riga.substr(0, 5) == "HTTP/") {
        r = Risposta{};
        auto spazio = riga.find(' ');
        if (spazio == std::string_view::npos) return;
        std::string_view resto = riga.substr(spazio + 1);
        r.codice = std::strtol(std::string(resto.substr(0, 3)).c_str(), nullptr, 10);
        if (resto.size() > 4) r.motivo = std::string(Ripulisci(resto.substr(4)));
        return;
    }
    auto due = riga.find(':');
    if (due == std::string_view::npos) return;
    std::string_view nome = Ripulisci(riga.substr(0, due));
    std::string_view valore = Ripulisci(riga.substr(due + 1));
    if (UgualeNome(nome, "Content-Length")) r.lunghezza = Numero(valore);
    else if (UgualeNome(nome, "Content-Range")) LeggiContentRange(valore, r);
    else if (UgualeNome(nome, "ETag")) r.etag = std::string(valore);
    else if (UgualeNome(nome, "Last-Modified")) r.ultimaModifica = std::string(valore);
}

}  // namespace scaricatore
