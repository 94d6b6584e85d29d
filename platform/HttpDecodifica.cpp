// Content-Encoding: the request says it takes gzip and deflate, so a body
// may come compressed; what is saved must be what the server holds.
#include <zlib.h>

#include <algorithm>
#include <vector>

#include "Http.h"

namespace noce::http {

namespace {

ErroreRuntime NonValida() { return ErroreWinHttp(codice::RispostaNonValida); }

std::string Minuscolo(std::string s) {
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

// Inflates a whole stream; `membri` lets gzip members follow one another,
// as a concatenated .gz does. False for a damaged or truncated stream.
bool Decomprimi(const std::string& dentro, int bitFinestra, bool membri, std::string& fuori) {
    z_stream z{};
    if (inflateInit2(&z, bitFinestra) != Z_OK) throw ErroreDi(err::MemoriaInsufficiente);
    struct Chiudi {
        z_stream& z;
        ~Chiudi() { inflateEnd(&z); }
    } chiudi{z};

    const auto* dati = reinterpret_cast<const Bytef*>(dentro.data());
    std::size_t letti = 0;
    std::vector<Bytef> blocco(256 * 1024);
    for (;;) {
        if (z.avail_in == 0 && letti < dentro.size()) {
            // zlib counts in 32 bits; a larger body goes in slices.
            std::size_t k = std::min<std::size_t>(dentro.size() - letti, 1u << 30);
            z.next_in = const_cast<Bytef*>(dati + letti);
            z.avail_in = static_cast<uInt>(k);
            letti += k;
        }
        z.next_out = blocco.data();
        z.avail_out = static_cast<uInt>(blocco.size());
        int r = inflate(&z, Z_NO_FLUSH);
        fuori.append(reinterpret_cast<const char*>(blocco.data()), blocco.size() - z.avail_out);
        if (r == Z_STREAM_END) {
            bool resta = z.avail_in > 0 || letti < dentro.size();
            if (!resta) return true;
            if (!membri) return false;
            if (inflateReset(&z) != Z_OK) return false;
            continue;
        }
        if (r == Z_MEM_ERROR) throw ErroreDi(err::MemoriaInsufficiente);
        if (r == Z_BUF_ERROR) {
            // No progress possible: the input has run out before the end.
            if (z.avail_in == 0 && letti == dentro.size()) return false;
            continue;
        }
        if (r != Z_OK) return false;
    }
}

// A zlib stream starts with a method byte of 8 and a check over the first
// two bytes; anything else offered as "deflate" is taken as raw deflate,
// which some servers send under that name.
bool IntestazioneZlib(const std::string& s) {
    if (s.size() < 2) return false;
    auto a = static_cast<unsigned char>(s[0]), b = static_cast<unsigned char>(s[1]);
    return (a & 0x0F) == 8 && (a >> 4) <= 7 && ((a << 8) | b) % 31 == 0;
}

std::string UnaCodifica(const std::string& codifica, const std::string& corpo) {
    std::string fuori;
    if (codifica == "gzip" || codifica == "x-gzip") {
        if (!Decomprimi(corpo, 16 + MAX_WBITS, true, fuori)) throw NonValida();
        return fuori;
    }
    if (codifica == "deflate") {
        if (IntestazioneZlib(corpo) && Decomprimi(corpo, MAX_WBITS, false, fuori)) return fuori;
        fuori.clear();
        if (!Decomprimi(corpo, -MAX_WBITS, false, fuori)) throw NonValida();
        return fuori;
    }
    throw NonValida();
}

}  // namespace

std::string DecodificaContenuto(const std::string& codifiche, const std::string& corpo) {
    std::vector<std::string> elenco;
    std::size_t inizio = 0;
    for (;;) {
        auto virgola = codifiche.find(',', inizio);
        std::string c = codifiche.substr(inizio, virgola == std::string::npos ? virgola : virgola - inizio);
        auto a = c.find_first_not_of(" \t");
        if (a != std::string::npos) {
            c = Minuscolo(c.substr(a, c.find_last_not_of(" \t") - a + 1));
            if (c != "identity") elenco.push_back(c);
        }
        if (virgola == std::string::npos) break;
        inizio = virgola + 1;
    }
    // An empty body (HEAD, 204, 304) carries the coding's name only.
    if (corpo.empty()) return corpo;
    std::string risultato = corpo;
    for (auto it = elenco.rbegin(); it != elenco.rend(); ++it) risultato = UnaCodifica(*it, risultato);
    return risultato;
}

}  // namespace noce::http
