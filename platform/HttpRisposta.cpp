// Reading one HTTP/1.x response off a connection, framed the way RFC 9112
// frames it, without ever asking for a byte past its end.
#include <algorithm>
#include <cstdint>
#include <optional>

#include "Http.h"
#include "Minuscolo.h"
#include "Spazi.h"

namespace noce::http {

namespace {

// A response's status line and headers together may not exceed this: a
// peer that sends an endless header is not a server we can talk to.
constexpr std::size_t MassimoTestata = 64 * 1024;
constexpr std::uint64_t MassimoBlocco = std::uint64_t{1} << 40;

ErroreRuntime NonValida() { return ErroreWinHttp(codice::RispostaNonValida); }
ErroreRuntime Interrotta() { return ErroreWinHttp(codice::ConnessioneInterrotta); }

bool Cifre(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

class Lettore {
public:
    explicit Lettore(const Sorgente& sorgente) : sorgente_(sorgente) {}

    // A line without its CR LF (or bare LF). Nothing at a clean end of the
    // stream before the line began.
    std::optional<std::string> Riga(std::size_t& bilancio) {
        for (;;) {
            auto lf = buf_.find('\n', pos_);
            if (lf != std::string::npos) {
                std::string riga = buf_.substr(pos_, lf - pos_);
                if (riga.size() + 1 > bilancio) throw NonValida();
                bilancio -= riga.size() + 1;
                pos_ = lf + 1;
                if (!riga.empty() && riga.back() == '\r') riga.pop_back();
                return riga;
            }
            if (buf_.size() - pos_ > bilancio) throw NonValida();
            if (!Riempi(4096)) {
                if (pos_ == buf_.size()) return std::nullopt;
                throw Interrotta();
            }
        }
    }

    void Esatti(std::uint64_t n, const Pozzo& destinazione) {
        while (n > 0) {
            if (pos_ == buf_.size() && !Riempi(static_cast<std::size_t>(std::min<std::uint64_t>(n, 65536))))
                throw Interrotta();
            std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(n, buf_.size() - pos_));
            destinazione(buf_.data() + pos_, k);
            pos_ += k;
            n -= k;
        }
    }

    void FinoAllaFine(const Pozzo& destinazione) {
        do {
            if (pos_ < buf_.size()) destinazione(buf_.data() + pos_, buf_.size() - pos_);
            pos_ = buf_.size();
        } while (Riempi(65536));
    }

private:
    // Asks for at most `massimo` more bytes; false at the end of the stream.
    bool Riempi(std::size_t massimo) {
        if (pos_ == buf_.size()) {
            buf_.clear();
            pos_ = 0;
        }
        std::size_t vecchio = buf_.size();
        buf_.resize(vecchio + massimo);
        std::size_t k = sorgente_(buf_.data() + vecchio, massimo);
        buf_.resize(vecchio + k);
        return k > 0;
    }

    const Sorgente& sorgente_;
    std::string buf_;
    std::size_t pos_ = 0;
};

// "HTTP/1.1 200 OK" -> 200 and "OK".
void LeggiRigaStato(const std::string& riga, Risposta& r) {
    if (riga.size() < 12 || riga.compare(0, 5, "HTTP/") != 0 || riga[6] != '.' || riga[8] != ' ') throw NonValida();
    if (riga[5] < '0' || riga[5] > '9' || riga[7] < '0' || riga[7] > '9') throw NonValida();
    std::string numero = riga.substr(9, 3);
    if (!Cifre(numero) || (riga.size() > 12 && riga[12] != ' ')) throw NonValida();
    r.status = std::stoi(numero);
    r.testo = riga.size() > 13 ? riga.substr(13) : "";
}

void LeggiIntestazioni(Lettore& lettore, std::size_t& bilancio, Intestazioni& intestazioni) {
    for (;;) {
        auto riga = lettore.Riga(bilancio);
        if (!riga) throw Interrotta();
        if (riga->empty()) return;
        if ((*riga)[0] == ' ' || (*riga)[0] == '\t') {
            // A folded line continues the header before it.
            if (intestazioni.empty()) throw NonValida();
            intestazioni.back().second += " " + SenzaSpazi(*riga);
            continue;
        }
        auto due = riga->find(':');
        if (due == std::string::npos || due == 0) throw NonValida();
        std::string nome = riga->substr(0, due);
        if (nome.find_first_of(" \t") != std::string::npos) throw NonValida();
        intestazioni.emplace_back(nome, SenzaSpazi(riga->substr(due + 1)));
    }
}

std::optional<std::uint64_t> LunghezzaDichiarata(const Intestazioni& intestazioni) {
    std::optional<std::uint64_t> lunghezza;
    for (const auto& [nome, valore] : intestazioni) {
        if (MinuscoloNome(nome) != "content-length") continue;
        // "5, 5" is one length said twice; two different lengths are a
        // response that cannot be framed.
        std::size_t inizio = 0;
        for (;;) {
            auto virgola = valore.find(',', inizio);
            std::string v = SenzaSpazi(valore.substr(inizio, virgola == std::string::npos ? virgola : virgola - inizio));
            if (!Cifre(v) || v.size() > 18) throw NonValida();
            std::uint64_t n = std::stoull(v);
            if (lunghezza && *lunghezza != n) throw NonValida();
            lunghezza = n;
            if (virgola == std::string::npos) break;
            inizio = virgola + 1;
        }
    }
    return lunghezza;
}

void LeggiBlocchi(Lettore& lettore, const Pozzo& corpo) {
    for (;;) {
        std::size_t bilancio = MassimoTestata;
        auto riga = lettore.Riga(bilancio);
        if (!riga) throw Interrotta();
        std::string dimensione = SenzaSpazi(riga->substr(0, riga->find(';')));
        if (dimensione.empty()) throw NonValida();
        std::uint64_t n = 0;
        for (char c : dimensione) {
            int v = (c >= '0' && c <= '9')   ? c - '0'
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                             : -1;
            if (v < 0) throw NonValida();
            n = n * 16 + static_cast<std::uint64_t>(v);
            if (n > MassimoBlocco) throw NonValida();
        }
        if (n == 0) {
            // The trailer section, which carries nothing we use.
            Intestazioni coda;
            bilancio = MassimoTestata;
            LeggiIntestazioni(lettore, bilancio, coda);
            return;
        }
        lettore.Esatti(n, corpo);
        bilancio = 2;
        auto fine = lettore.Riga(bilancio);
        if (!fine) throw Interrotta();
        if (!fine->empty()) throw NonValida();
    }
}

}  // namespace

std::string ValoreIntestazione(const Intestazioni& intestazioni, const std::string& nome) {
    std::string cercato = MinuscoloNome(nome), valore;
    bool trovato = false;
    for (const auto& [n, v] : intestazioni) {
        if (MinuscoloNome(n) != cercato) continue;
        if (trovato) valore += ", ";
        valore += v;
        trovato = true;
    }
    return valore;
}

Risposta LeggiRisposta(const Sorgente& sorgente, bool richiestaHead) {
    Risposta r;
    Risposta testata = LeggiRisposta(sorgente, richiestaHead, [&](const Risposta&) -> Pozzo {
        return [&](const char* dati, std::size_t n) { r.corpo.append(dati, n); };
    });
    testata.corpo = std::move(r.corpo);
    return testata;
}

Risposta LeggiRisposta(const Sorgente& sorgente, bool richiestaHead,
                       const std::function<Pozzo(const Risposta& testata)>& perCorpo) {
    Lettore lettore(sorgente);
    Risposta r;
    for (;;) {
        std::size_t bilancio = MassimoTestata;
        auto riga = lettore.Riga(bilancio);
        if (!riga) throw Interrotta();
        LeggiRigaStato(*riga, r);
        r.intestazioni.clear();
        LeggiIntestazioni(lettore, bilancio, r.intestazioni);
        // 100 Continue and its kind come before the real answer; a switch
        // of protocol is nothing this client can follow.
        if (r.status == 101) throw NonValida();
        if (r.status >= 100 && r.status < 200) continue;
        break;
    }
    if (r.status < 100) throw NonValida();
    if (richiestaHead || r.status == 204 || r.status == 304) return r;

    const Pozzo corpo = perCorpo(r);
    std::string trasferimento = MinuscoloNome(ValoreIntestazione(r.intestazioni, "Transfer-Encoding"));
    if (!trasferimento.empty()) {
        auto ultima = trasferimento.rfind(',');
        if (SenzaSpazi(ultima == std::string::npos ? trasferimento : trasferimento.substr(ultima + 1)) == "chunked")
            LeggiBlocchi(lettore, corpo);
        else
            lettore.FinoAllaFine(corpo);
        return r;
    }
    if (auto lunghezza = LunghezzaDichiarata(r.intestazioni)) {
        lettore.Esatti(*lunghezza, corpo);
        return r;
    }
    lettore.FinoAllaFine(corpo);
    return r;
}

}  // namespace noce::http
