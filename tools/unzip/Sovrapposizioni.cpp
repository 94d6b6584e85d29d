#include "Sovrapposizioni.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace estrattore {

namespace {

constexpr std::uint32_t FirmaLocale = 0x04034b50;
constexpr std::uint32_t FirmaCentrale = 0x02014b50;
constexpr std::uint32_t FirmaFine = 0x06054b50;
constexpr std::uint32_t FirmaFine64 = 0x06064b50;
constexpr std::uint32_t FirmaLocalizzatore64 = 0x07064b50;

struct Estensione {
    std::uint64_t inizio = 0, fine = 0;
    std::string nome;
};

class Lettore {
public:
    explicit Lettore(zip_source_t* s) : s_(s) {
        if (zip_source_open(s_) < 0) throw std::runtime_error(zip_error_strerror(zip_source_error(s_)));
        if (zip_source_seek(s_, 0, SEEK_END) < 0 || (dimensione_ = zip_source_tell(s_)) < 0) {
            zip_source_close(s_);
            throw std::runtime_error(zip_error_strerror(zip_source_error(s_)));
        }
    }
    ~Lettore() { zip_source_close(s_); }
    Lettore(const Lettore&) = delete;
    Lettore& operator=(const Lettore&) = delete;

    std::uint64_t Dimensione() const { return static_cast<std::uint64_t>(dimensione_); }

    // `n` bytes at `posizione`, fewer where the archive ends.
    std::string Leggi(std::uint64_t posizione, std::uint64_t n) {
        if (posizione >= Dimensione()) return {};
        n = std::min(n, Dimensione() - posizione);
        std::string b(static_cast<std::size_t>(n), '\0');
        if (zip_source_seek(s_, static_cast<zip_int64_t>(posizione), SEEK_SET) < 0 ||
            zip_source_read(s_, b.data(), n) != static_cast<zip_int64_t>(n))
            throw std::runtime_error(zip_error_strerror(zip_source_error(s_)));
        return b;
    }

private:
    zip_source_t* s_;
    zip_int64_t dimensione_ = 0;
};

std::uint64_t Numero(const std::string& b, std::size_t o, int byte) {
    std::uint64_t v = 0;
    for (int i = byte - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[o + static_cast<std::size_t>(i)]);
    return v;
}

[[noreturn]] void Illeggibile() { throw std::runtime_error("directory centrale illeggibile"); }

struct Directory {
    std::uint64_t inizio = 0, dimensione = 0;
};

// Where the central directory lies: the end record's numbers, or the Zip64
// record's where the end record says they did not fit.
Directory TrovaDirectory(Lettore& l) {
    const std::uint64_t coda = std::min<std::uint64_t>(l.Dimensione(), 22 + 0xFFFF);
    const std::string b = l.Leggi(l.Dimensione() - coda, coda);
    std::size_t fine = std::string::npos;
    for (std::size_t i = b.size() >= 22 ? b.size() - 22 + 1 : 0; i-- > 0;)
        if (Numero(b, i, 4) == FirmaFine && i + 22 + Numero(b, i + 20, 2) <= b.size()) {
            fine = i;
            break;
        }
    if (fine == std::string::npos) Illeggibile();
    Directory d{Numero(b, fine + 16, 4), Numero(b, fine + 12, 4)};
    if (d.inizio != 0xFFFFFFFF && d.dimensione != 0xFFFFFFFF && Numero(b, fine + 10, 2) != 0xFFFF) return d;
    if (fine < 20 || Numero(b, fine - 20, 4) != FirmaLocalizzatore64) return d;
    const std::string r = l.Leggi(Numero(b, fine - 20 + 8, 8), 56);
    if (r.size() < 56 || Numero(r, 0, 4) != FirmaFine64) Illeggibile();
    return {Numero(r, 48, 8), Numero(r, 40, 8)};
}

// One central record's span in the archive, from its local header on.
Estensione Voce(Lettore& l, const std::string& cd, std::size_t o, std::size_t lunghezza) {
    Estensione e;
    std::uint64_t compresso = Numero(cd, o + 20, 4);
    e.inizio = Numero(cd, o + 42, 4);
    const std::size_t nome = Numero(cd, o + 28, 2), extra = Numero(cd, o + 30, 2);
    e.nome = cd.substr(o + 46, nome);
    // The Zip64 field holds, in this order, only the numbers that did not fit.
    const std::size_t fineExtra = std::min(o + 46 + nome + extra, o + lunghezza);
    for (std::size_t x = o + 46 + nome; x + 4 <= fineExtra;) {
        const std::size_t id = Numero(cd, x, 2), n = Numero(cd, x + 2, 2);
        if (x + 4 + n > fineExtra) break;
        if (id == 0x0001) {
            std::size_t p = x + 4;
            auto prossimo = [&](std::uint64_t& v) {
                if (v != 0xFFFFFFFF || p + 8 > x + 4 + n) return;
                v = Numero(cd, p, 8);
                p += 8;
            };
            std::uint64_t originale = Numero(cd, o + 24, 4);
            prossimo(originale);
            prossimo(compresso);
            prossimo(e.inizio);
        }
        x += 4 + n;
    }
    const std::string locale = l.Leggi(e.inizio, 30);
    std::uint64_t testa = 30;
    if (locale.size() == 30 && Numero(locale, 0, 4) == FirmaLocale)
        testa += Numero(locale, 26, 2) + Numero(locale, 28, 2);
    // Clipped to the archive, so no sum overflows; what lies past the end
    // is libzip's to report when the entry is read.
    e.fine = e.inizio + std::min(testa + std::min(compresso, l.Dimensione()),
                                 l.Dimensione() - std::min(e.inizio, l.Dimensione()));
    return e;
}

}  // namespace

std::string CercaSovrapposizione(zip_source_t* archivio) {
    Lettore l(archivio);
    const Directory d = TrovaDirectory(l);
    if (d.dimensione > l.Dimensione()) Illeggibile();
    const std::string cd = l.Leggi(d.inizio, d.dimensione);
    std::vector<Estensione> voci;
    for (std::size_t o = 0; o + 46 <= cd.size() && Numero(cd, o, 4) == FirmaCentrale;) {
        const std::size_t lunghezza = 46 + Numero(cd, o + 28, 2) + Numero(cd, o + 30, 2) + Numero(cd, o + 32, 2);
        if (o + lunghezza > cd.size()) Illeggibile();
        voci.push_back(Voce(l, cd, o, lunghezza));
        o += lunghezza;
    }
    std::sort(voci.begin(), voci.end(), [](const Estensione& a, const Estensione& b) { return a.inizio < b.inizio; });
    const Estensione* ultima = nullptr;  // the one that reaches furthest so far
    for (const auto& v : voci) {
        if (ultima && v.inizio < ultima->fine) return "\"" + v.nome + "\" e \"" + ultima->nome + "\"";
        if (!ultima || v.fine > ultima->fine) ultima = &v;
    }
    return {};
}

}  // namespace estrattore
