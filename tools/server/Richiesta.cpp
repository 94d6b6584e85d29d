#include "Richiesta.h"

#include <algorithm>
#include <cctype>

#include "Intervallo.h"

namespace server {

namespace {

bool Uguali(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

bool Simbolo(const std::string& s) {
    if (s.empty()) return false;
    for (unsigned char c : s)
        if (c <= ' ' || c >= 0x7f || std::string("\"(),/:;<=>?@[\\]{}").find(static_cast<char>(c)) != std::string::npos)
            return false;
    return true;
}

std::string Ripulisci(const std::string& s) {
    auto a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

int Esadecimale(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The path of an origin-form or absolute-form target, %XX decoded.
bool Percorso(const std::string& bersaglio, std::string& percorso) {
    std::string p = bersaglio;
    if (p.rfind("http://", 0) == 0) {
        auto barra = p.find('/', 7);
        p = barra == std::string::npos ? "/" : p.substr(barra);
    }
    if (p.empty() || p[0] != '/') return false;
    p = p.substr(0, p.find_first_of("?#"));
    percorso.clear();
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (p[i] != '%') {
            percorso += p[i];
            continue;
        }
        int a = i + 2 < p.size() ? Esadecimale(p[i + 1]) : -1;
        int b = a >= 0 ? Esadecimale(p[i + 2]) : -1;
        if (b < 0) return false;
        percorso += static_cast<char>(a * 16 + b);
        i += 2;
    }
    return true;
}

std::vector<std::string> Righe(const std::string& testa) {
    std::vector<std::string> righe;
    std::size_t i = 0;
    while (i < testa.size()) {
        auto j = testa.find('\n', i);
        if (j == std::string::npos) j = testa.size();
        std::string riga = testa.substr(i, j - i);
        if (!riga.empty() && riga.back() == '\r') riga.pop_back();
        righe.push_back(riga);
        i = j + 1;
    }
    return righe;
}

int PrimaRiga(const std::string& riga, Richiesta& r) {
    auto a = riga.find(' ');
    auto b = a == std::string::npos ? a : riga.find(' ', a + 1);
    if (b == std::string::npos || riga.find(' ', b + 1) != std::string::npos) return 400;
    r.metodo = riga.substr(0, a);
    r.bersaglio = riga.substr(a + 1, b - a - 1);
    r.versione = riga.substr(b + 1);
    if (!Simbolo(r.metodo)) return 400;
    if (r.versione.size() != 8 || r.versione.rfind("HTTP/", 0) != 0) return 400;
    if (r.versione != "HTTP/1.1" && r.versione != "HTTP/1.0") return 505;
    if (!Percorso(r.bersaglio, r.percorso)) return 400;
    return 0;
}

int Corpo(Richiesta& r) {
    if (r.Ha("Transfer-Encoding")) return 501;
    bool vista = false;
    for (const auto& [nome, valore] : r.intestazioni) {
        if (!Uguali(nome, "Content-Length")) continue;
        std::uint64_t n = 0;
        if (!NumeroDecimale(valore, n) || (vista && n != r.lunghezzaCorpo)) return 400;
        r.lunghezzaCorpo = n;
        vista = true;
    }
    return 0;
}

}  // namespace

std::string Richiesta::Intestazione(const std::string& nome) const {
    for (const auto& [n, v] : intestazioni)
        if (Uguali(n, nome)) return v;
    return "";
}

bool Richiesta::Ha(const std::string& nome) const {
    return std::any_of(intestazioni.begin(), intestazioni.end(), [&](const auto& i) { return Uguali(i.first, nome); });
}

std::size_t FineTesta(const std::string& dati) {
    for (std::size_t i = dati.find('\n'); i != std::string::npos; i = dati.find('\n', i + 1)) {
        if (i + 1 < dati.size() && dati[i + 1] == '\n') return i + 2;
        if (i + 2 < dati.size() && dati[i + 1] == '\r' && dati[i + 2] == '\n') return i + 3;
    }
    return 0;
}

int LeggiRichiesta(const std::string& testa, Richiesta& r) {
    r = Richiesta{};
    if (testa.size() > MassimaTesta) return 431;
    std::vector<std::string> righe = Righe(testa);
    // A client may send empty lines before its request.
    while (!righe.empty() && righe.front().empty()) righe.erase(righe.begin());
    while (!righe.empty() && righe.back().empty()) righe.pop_back();
    if (righe.empty()) return 400;
    if (int codice = PrimaRiga(righe[0], r)) return codice;
    if (righe.size() - 1 > MassimeIntestazioni) return 431;
    for (std::size_t i = 1; i < righe.size(); ++i) {
        const std::string& riga = righe[i];
        auto due = riga.find(':');
        if (due == std::string::npos || !Simbolo(riga.substr(0, due))) return 400;
        if (riga.find_first_of(std::string("\r\0", 2)) != std::string::npos) return 400;
        r.intestazioni.emplace_back(riga.substr(0, due), Ripulisci(riga.substr(due + 1)));
    }
    if (int codice = Corpo(r)) return codice;
    std::string connessione = r.Intestazione("Connection");
    std::transform(connessione.begin(), connessione.end(), connessione.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (r.versione == "HTTP/1.1")
        r.tieniAperta = connessione.find("close") == std::string::npos;
    else
        r.tieniAperta = connessione.find("keep-alive") != std::string::npos;
    return 0;
}

}  // namespace server
