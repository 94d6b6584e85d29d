#pragma once
// Zip archives made by the test itself, with libzip: any entry name,
// stored or deflated, and ways to damage or falsify one afterwards.
#include <zip.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/FileDiProva.h"

namespace strumenti {

struct VoceZip {
    std::string nome;  // a trailing "/" makes a folder entry
    std::string dati;
    bool comprimi = true;
};

inline bool CreaZip(const std::string& percorso, const std::vector<VoceZip>& voci) {
    int errore = 0;
    zip_t* z = zip_open(percorso.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &errore);
    if (!z) return false;
    for (const auto& v : voci) {
        if (!v.nome.empty() && v.nome.back() == '/') {
            if (zip_dir_add(z, v.nome.c_str(), ZIP_FL_ENC_UTF_8) < 0) return false;
            continue;
        }
        zip_source_t* s = zip_source_buffer(z, v.dati.data(), v.dati.size(), 0);
        zip_int64_t i = zip_file_add(z, v.nome.c_str(), s, ZIP_FL_ENC_UTF_8);
        if (i < 0) {
            zip_source_free(s);
            zip_discard(z);
            return false;
        }
        zip_set_file_compression(z, static_cast<zip_uint64_t>(i), v.comprimi ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    }
    return zip_close(z) == 0;
}

namespace dettaglio {

inline std::size_t Numero(const std::string& b, std::size_t o, int byte) {
    std::size_t v = 0;
    for (int i = byte - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[o + static_cast<std::size_t>(i)]);
    return v;
}
inline void Metti(std::string& b, std::size_t o, int byte, std::size_t v) {
    for (int i = 0; i < byte; ++i) b[o + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i) & 0xFF);
}

// The central directory of an archive libzip wrote (no comment, no Zip64):
// where it starts, and where each record starts.
struct Directory {
    std::size_t inizio = 0;
    std::vector<std::size_t> record;
};
inline Directory LeggiDirectory(const std::string& b) {
    Directory d;
    const std::size_t fine = b.size() - 22;
    d.inizio = Numero(b, fine + 16, 4);
    for (std::size_t o = d.inizio; o < fine;) {
        d.record.push_back(o);
        o += 46 + Numero(b, o + 28, 2) + Numero(b, o + 30, 2) + Numero(b, o + 32, 2);
    }
    return d;
}

inline std::string Byte(std::size_t v, int byte) {
    std::string b(static_cast<std::size_t>(byte), '\0');
    Metti(b, 0, byte, v);
    return b;
}

}  // namespace dettaglio

// Flips a byte in the middle of the first entry's data, read from its local
// header: the archive's directory stays intact, the entry's CRC does not.
inline bool DanneggiaPrimaVoce(const std::string& percorso) {
    using namespace dettaglio;
    std::string b = noce::prova::LeggiFile(percorso);
    if (b.size() < 30 || b.compare(0, 4, "PK\x03\x04") != 0) return false;
    std::size_t dati = 30 + Numero(b, 26, 2) + Numero(b, 28, 2);
    std::size_t dimensione = Numero(b, 18, 4);
    if (dimensione == 0 || dati + dimensione > b.size()) return false;
    b[dati + dimensione / 2] = static_cast<char>(b[dati + dimensione / 2] ^ 0x5A);
    std::ofstream(percorso, std::ios::binary | std::ios::trunc) << b;
    return true;
}

// Makes the first entry (or every one) declare `dimensione` bytes, in the
// central directory and, for the first, in its local header too, whatever
// their data inflate to.
inline void DichiaraDimensione(const std::string& percorso, std::size_t dimensione, bool tutte = false) {
    using namespace dettaglio;
    std::string b = noce::prova::LeggiFile(percorso);
    Metti(b, 22, 4, dimensione);
    for (std::size_t r : LeggiDirectory(b).record) {
        Metti(b, r + 24, 4, dimensione);
        if (!tutte) break;
    }
    std::ofstream(percorso, std::ios::binary | std::ios::trunc) << b;
}

// The hostile archives whose entries share data. `copie` > 0: the first
// entry's record repeated that many times, each under its own name
// ("voce0001.txt", ...) and all pointing at the same data. `copie` == 0:
// the second entry is made to start 10 bytes into the first one's span.
inline void SovrapponiVoci(const std::string& percorso, std::size_t copie) {
    using namespace dettaglio;
    std::string b = noce::prova::LeggiFile(percorso);
    Directory d = LeggiDirectory(b);
    std::string cd;
    if (copie == 0) {
        cd = b.substr(d.inizio, b.size() - 22 - d.inizio);
        Metti(cd, d.record.at(1) - d.inizio + 42, 4, Numero(b, d.record[0] + 42, 4) + 10);
    }
    const std::size_t r = d.record.at(0), nome = Numero(b, r + 28, 2);
    for (std::size_t i = 0; i < copie; ++i) {
        std::string n = std::to_string(10000 + i).substr(1);
        std::string record = b.substr(r, 46) + "voce" + n + ".txt" +
                             b.substr(r + 46 + nome, Numero(b, r + 30, 2) + Numero(b, r + 32, 2));
        Metti(record, 28, 2, 4 + n.size() + 4);
        cd += record;
    }
    std::string fine = b.substr(b.size() - 22);
    const std::size_t voci = copie ? copie : d.record.size();
    Metti(fine, 8, 2, voci);
    Metti(fine, 10, 2, voci);
    Metti(fine, 12, 4, cd.size());
    Metti(fine, 16, 4, d.inizio);
    std::ofstream(percorso, std::ios::binary | std::ios::trunc) << b.substr(0, d.inizio) << cd << fine;
}

// The same archive in the Zip64 form a zip tool writes past 4 GiB: every
// central record's sizes and offset in a Zip64 field, and the end record's
// numbers in the Zip64 end record it points at.
inline void InZip64(const std::string& percorso) {
    using namespace dettaglio;
    std::string b = noce::prova::LeggiFile(percorso);
    Directory d = LeggiDirectory(b);
    std::string cd;
    for (std::size_t r : d.record) {
        const std::size_t nome = Numero(b, r + 28, 2), extra = Numero(b, r + 30, 2), commento = Numero(b, r + 32, 2);
        std::string record = b.substr(r, 46 + nome + extra);
        const std::string zip64 = Byte(1, 2) + Byte(24, 2) + Byte(Numero(b, r + 24, 4), 8) +
                                  Byte(Numero(b, r + 20, 4), 8) + Byte(Numero(b, r + 42, 4), 8);
        for (std::size_t campo : {20, 24, 42}) Metti(record, campo, 4, 0xFFFFFFFF);
        Metti(record, 30, 2, extra + zip64.size());
        cd += record + zip64 + b.substr(r + 46 + nome + extra, commento);
    }
    const std::size_t voci = d.record.size(), fine64 = d.inizio + cd.size();
    const std::string fine64Record = Byte(0x06064b50, 4) + Byte(44, 8) + Byte(45, 2) + Byte(45, 2) + Byte(0, 4) +
                                     Byte(0, 4) + Byte(voci, 8) + Byte(voci, 8) + Byte(cd.size(), 8) +
                                     Byte(d.inizio, 8);
    const std::string localizzatore = Byte(0x07064b50, 4) + Byte(0, 4) + Byte(fine64, 8) + Byte(1, 4);
    std::string fine = b.substr(b.size() - 22);
    Metti(fine, 8, 2, 0xFFFF);
    Metti(fine, 10, 2, 0xFFFF);
    Metti(fine, 12, 4, 0xFFFFFFFF);
    Metti(fine, 16, 4, 0xFFFFFFFF);
    std::ofstream(percorso, std::ios::binary | std::ios::trunc)
        << b.substr(0, d.inizio) << cd << fine64Record << localizzatore << fine;
}

}  // namespace strumenti
