#include "Risposta.h"

namespace scaricatore {

namespace {

bool Spazio(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

char Minuscola(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::string_view Ripulisci(std::string_view s) {
    while (!s.empty() && Spazio(s.front())) s.remove_prefix(1);
    while (!s.empty() && Spazio(s.back())) s.remove_suffix(1);
    return s;
}

bool UgualeNome(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Minuscola(a[i]) != Minuscola(b[i])) return false;
    return true;
}

// "bytes 100-199/1000" or "bytes 100-199/*"; anything else leaves the
// range unknown, which no resume accepts.
void LeggiContentRange(std::string_view v, Risposta& r) {
    v = Ripulisci(v);
    if (v.size() < 6 || !UgualeNome(v.substr(0, 6), "bytes ")) return;
    v.remove_prefix(6);
    auto trattino = v.find('-');
    auto barra = v.find('/');
    if (trattino == std::string_view::npos || barra == std::string_view::npos || barra < trattino) return;
    std::int64_t inizio = NumeroIntestazione(v.substr(0, trattino));
    std::int64_t fine = NumeroIntestazione(v.substr(trattino + 1, barra - trattino - 1));
    std::string_view totale = Ripulisci(v.substr(barra + 1));
    std::int64_t t = totale == "*" ? -1 : NumeroIntestazione(totale);
    if (inizio < 0 || fine < inizio || (totale != "*" && (t < 0 || fine >= t))) return;
    r.inizioIntervallo = inizio;
    r.fineIntervallo = fine;
    r.totaleIntervallo = t;
}

// Only the last coding of Transfer-Encoding frames the body.
bool FinisceConChunked(std::string_view v) {
    auto virgola = v.rfind(',');
    if (virgola != std::string_view::npos) v.remove_prefix(virgola + 1);
    return UgualeNome(Ripulisci(v), "chunked");
}

void LeggiStato(std::string_view riga, Risposta& r) {
    r = Risposta{};
    auto spazio = riga.find(' ');
    if (spazio == std::string_view::npos) return;
    std::string_view resto = riga.substr(spazio + 1);
    long codice = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (i >= resto.size() || resto[i] < '0' || resto[i] > '9') return;
        codice = codice * 10 + (resto[i] - '0');
    }
    r.codice = codice;
    if (resto.size() > 4) r.motivo = std::string(Ripulisci(resto.substr(4)));
}

}  // namespace

std::int64_t NumeroIntestazione(std::string_view s) {
    s = Ripulisci(s);
    if (s.empty() || s.size() > 18) return -1;
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::string Risposta::Validatore() const {
    if (!etag.empty() && etag.rfind("W/", 0) != 0) return etag;
    return ultimaModifica;
}

void LeggiIntestazione(std::string_view riga, Risposta& r) {
    riga = Ripulisci(riga);
    if (riga.substr(0, 5) == "HTTP/") return LeggiStato(riga, r);
    auto due = riga.find(':');
    if (due == std::string_view::npos) return;
    std::string_view nome = Ripulisci(riga.substr(0, due));
    std::string_view valore = Ripulisci(riga.substr(due + 1));
    if (UgualeNome(nome, "Content-Length")) {
        std::int64_t n = NumeroIntestazione(valore);
        // Two different lengths are as bad as none that can be read.
        if (n < 0 || (r.lunghezza >= 0 && r.lunghezza != n)) r.nonValida = "Content-Length non valido";
        else r.lunghezza = n;
    } else if (UgualeNome(nome, "Transfer-Encoding")) {
        r.chunked = FinisceConChunked(valore);
    } else if (UgualeNome(nome, "Content-Range")) {
        LeggiContentRange(valore, r);
    } else if (UgualeNome(nome, "Content-Encoding")) {
        r.codifica += (r.codifica.empty() ? "" : ", ") + std::string(valore);
    } else if (UgualeNome(nome, "ETag")) {
        r.etag = std::string(valore);
    } else if (UgualeNome(nome, "Last-Modified")) {
        r.ultimaModifica = std::string(valore);
    }
}

Risposta LeggiIntestazioni(std::string_view testa) {
    Risposta r;
    while (!testa.empty()) {
        auto fine = testa.find('\n');
        std::string_view riga = testa.substr(0, fine);
        if (Ripulisci(riga).empty()) break;
        LeggiIntestazione(riga, r);
        if (fine == std::string_view::npos) break;
        testa.remove_prefix(fine + 1);
    }
    return r;
}

}  // namespace scaricatore
