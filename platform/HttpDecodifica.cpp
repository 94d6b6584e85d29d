// Content-Encoding: the request says it takes gzip and deflate, so a body
// may come compressed; what is saved must be what the server holds. The
// body is decoded as it arrives, so neither the compressed nor the decoded
// form is ever held whole.
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "Http.h"
#include "Minuscolo.h"
#include "Spazi.h"

namespace noce::http {

namespace {

ErroreRuntime NonValida() { return ErroreWinHttp(codice::RispostaNonValida); }

// A zlib stream starts with a method byte of 8 and a check over the first
// two bytes; anything else offered as "deflate" is taken as raw deflate,
// which some servers send under that name.
bool IntestazioneZlib(unsigned char a, unsigned char b) {
    return (a & 0x0F) == 8 && (a >> 4) <= 7 && ((a << 8) | b) % 31 == 0;
}

}  // namespace

// One coding undone; its output goes to the next stage or to the caller.
class Decodifica::Stadio {
public:
    Stadio(bool gzip, Pozzo uscita) : gzip_(gzip), uscita_(std::move(uscita)), blocco_(64 * 1024) {}
    ~Stadio() {
        if (avviato_) inflateEnd(&z_);
    }

    void Scrivi(const char* dati, std::size_t n) {
        if (n == 0) return;
        if (!avviato_ && !Avvia(dati, n)) return;
        while (n > 0) {
            // zlib counts in 32 bits; a larger piece goes in slices.
            std::size_t k = std::min<std::size_t>(n, 1u << 30);
            Gonfia(reinterpret_cast<const Bytef*>(dati), k);
            dati += k;
            n -= k;
        }
    }

    // A stream that stopped short of its end is a damaged response.
    void Fine() const {
        if (ricevuti_ && !finito_) throw NonValida();
    }

private:
    // The choice between the zlib wrapper and raw deflate needs the first
    // two bytes; a first piece of one byte waits for the second.
    bool Avvia(const char*& dati, std::size_t& n) {
        ricevuti_ = true;
        int bit = 16 + MAX_WBITS;
        if (!gzip_) {
            inizio_.append(dati, n);
            dati = nullptr;
            n = 0;
            if (inizio_.size() < 2) return false;
            bit = IntestazioneZlib(static_cast<unsigned char>(inizio_[0]), static_cast<unsigned char>(inizio_[1]))
                      ? MAX_WBITS
                      : -MAX_WBITS;
        }
        if (inflateInit2(&z_, bit) != Z_OK) throw ErroreDi(err::MemoriaInsufficiente);
        avviato_ = true;
        if (!inizio_.empty()) {
            std::string primi;
            primi.swap(inizio_);
            Gonfia(reinterpret_cast<const Bytef*>(primi.data()), primi.size());
        }
        return true;
    }

    void Gonfia(const Bytef* dati, std::size_t n) {
        z_.next_in = const_cast<Bytef*>(dati);
        z_.avail_in = static_cast<uInt>(n);
        for (;;) {
            if (finito_) {
                if (z_.avail_in == 0) return;
                // gzip members may follow one another, as a concatenated
                // .gz does; a deflate stream has one end.
                if (!gzip_ || inflateReset(&z_) != Z_OK) throw NonValida();
                finito_ = false;
            }
            z_.next_out = blocco_.data();
            z_.avail_out = static_cast<uInt>(blocco_.size());
            int r = inflate(&z_, Z_NO_FLUSH);
            if (r == Z_MEM_ERROR) throw ErroreDi(err::MemoriaInsufficiente);
            if (r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR) throw NonValida();
            std::size_t prodotti = blocco_.size() - z_.avail_out;
            if (prodotti > 0) uscita_(reinterpret_cast<const char*>(blocco_.data()), prodotti);
            if (r == Z_STREAM_END) {
                finito_ = true;
                continue;
            }
            // A full output block may leave more behind in the window.
            if (r == Z_BUF_ERROR || (z_.avail_in == 0 && z_.avail_out != 0)) return;
        }
    }

    const bool gzip_;
    Pozzo uscita_;
    std::vector<Bytef> blocco_;
    z_stream z_{};
    std::string inizio_;
    bool avviato_ = false, ricevuti_ = false, finito_ = false;
};

Decodifica::Decodifica(const std::string& codifiche, Pozzo uscita, std::uint64_t massimo)
    : uscita_(std::move(uscita)), massimo_(massimo) {
    Pozzo verso = [this](const char* d, std::size_t n) {
        Conta(decodificati_, n);
        uscita_(d, n);
    };
    // "deflate, gzip" was deflated first: gzip is undone first, and its
    // output goes on to the deflate stage.
    std::size_t inizio = 0;
    for (;;) {
        auto virgola = codifiche.find(',', inizio);
        std::string c = codifiche.substr(inizio, virgola == std::string::npos ? virgola : virgola - inizio);
        c = MinuscoloNome(SenzaSpazi(c));
        if (c == "gzip" || c == "x-gzip" || c == "deflate") {
            stadi_.push_back(std::make_unique<Stadio>(c != "deflate", verso));
            Stadio* s = stadi_.back().get();
            verso = [s](const char* d, std::size_t n) { s->Scrivi(d, n); };
        } else if (!c.empty() && c != "identity") {
            sconosciuta_ = true;
        }
        if (virgola == std::string::npos) break;
        inizio = virgola + 1;
    }
    ingresso_ = std::move(verso);
}

Decodifica::~Decodifica() = default;

void Decodifica::Conta(std::uint64_t& contatore, std::size_t n) {
    contatore += n;
    if (contatore <= massimo_) return;
    const std::uint64_t mib = std::uint64_t{1} << 20;
    std::string limite = massimo_ % mib == 0 ? std::to_string(massimo_ / mib) + " MiB" : std::to_string(massimo_) + " byte";
    throw ErroreWinHttp(codice::RispostaTroppoGrande, "La risposta del server supera il limite di " + limite);
}

void Decodifica::Scrivi(const char* dati, std::size_t n) {
    if (n == 0) return;
    // An empty body (HEAD, 204, 304) carries the coding's name only.
    if (sconosciuta_) throw NonValida();
    // A stream that inflates to nothing must not run on for ever either.
    Conta(ricevuti_, n);
    ingresso_(dati, n);
}

void Decodifica::Fine() {
    for (auto it = stadi_.rbegin(); it != stadi_.rend(); ++it) (*it)->Fine();
}

std::string DecodificaContenuto(const std::string& codifiche, const std::string& corpo) {
    std::string risultato;
    Decodifica d(codifiche, [&](const char* dati, std::size_t n) { risultato.append(dati, n); });
    d.Scrivi(corpo.data(), corpo.size());
    d.Fine();
    return risultato;
}

}  // namespace noce::http
