#include "Decodifica.h"

#include <algorithm>

namespace scaricatore {

namespace {

std::string Normale(const std::string& s) {
    std::string r;
    for (char c : s)
        if (c != ' ' && c != '\t') r += c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    return r;
}

// A zlib stream starts with a method byte of 8 and a check over the first
// two bytes; anything else offered as "deflate" is raw deflate, which some
// servers send under that name.
bool IntestazioneZlib(unsigned char a, unsigned char b) {
    return (a & 0x0F) == 8 && (a >> 4) <= 7 && ((a << 8) | b) % 31 == 0;
}

}  // namespace

Decodifica::Decodifica(const std::string& codifiche) {
    std::string c = Normale(codifiche);
    if (c.empty() || c == "identity") return;
    if (c == "gzip" || c == "x-gzip") {
        tipo_ = Tipo::Gzip;
        Avvia(16 + MAX_WBITS);
    } else if (c == "deflate") {
        tipo_ = Tipo::Deflate;
    } else {
        tipo_ = Tipo::Gzip;
        errore_ = "codifica del contenuto non gestita: " + codifiche;
    }
}

Decodifica::~Decodifica() {
    if (avviato_) inflateEnd(&z_);
}

bool Decodifica::Avvia(int bitFinestra) {
    if (inflateInit2(&z_, bitFinestra) != Z_OK) {
        errore_ = "memoria insufficiente per decomprimere";
        return false;
    }
    avviato_ = true;
    return true;
}

bool Decodifica::Aggiungi(const char* dati, std::size_t n, const Uscita& uscita) {
    if (!errore_.empty()) return false;
    if (tipo_ == Tipo::Nessuna) {
        uscita(dati, n);
        return true;
    }
    if (tipo_ == Tipo::Deflate && !avviato_) {
        inizio_.append(dati, n);
        if (inizio_.size() < 2) return true;
        bool zlib = IntestazioneZlib(static_cast<unsigned char>(inizio_[0]), static_cast<unsigned char>(inizio_[1]));
        if (!Avvia(zlib ? MAX_WBITS : -MAX_WBITS)) return false;
        std::string primi;
        primi.swap(inizio_);
        return Inflate(primi.data(), primi.size(), uscita);
    }
    return Inflate(dati, n, uscita);
}

bool Decodifica::Inflate(const char* dati, std::size_t n, const Uscita& uscita) {
    char blocco[64 * 1024];
    while (n > 0) {
        if (finito_) {
            // gzip members may follow one another, as a concatenated .gz does.
            if (tipo_ != Tipo::Gzip || inflateReset(&z_) != Z_OK) {
                errore_ = "dati dopo la fine del contenuto compresso";
                return false;
            }
            finito_ = false;
        }
        // zlib counts in 32 bits: a large piece goes in slices.
        auto pezzo = static_cast<uInt>(std::min<std::size_t>(n, 1u << 30));
        z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(dati));
        z_.avail_in = pezzo;
        do {
            z_.next_out = reinterpret_cast<Bytef*>(blocco);
            z_.avail_out = sizeof blocco;
            int r = inflate(&z_, Z_NO_FLUSH);
            if (r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR) {
                errore_ = "contenuto compresso danneggiato";
                return false;
            }
            uscita(blocco, sizeof blocco - z_.avail_out);
            if (r == Z_STREAM_END) {
                finito_ = true;
                break;
            }
            if (r == Z_BUF_ERROR && z_.avail_in == 0) break;
        } while (z_.avail_in > 0 || z_.avail_out == 0);
        std::size_t usati = pezzo - z_.avail_in;
        dati += usati;
        n -= usati;
    }
    return true;
}

}  // namespace scaricatore
