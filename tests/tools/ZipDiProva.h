#pragma once
// Zip archives made by the test itself, with libzip: any entry name,
// stored or deflated, and a way to damage an entry's data afterwards.
#include <zip.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

// Flips a byte in the middle of the first entry's data, read from its local
// header: the archive's directory stays intact, the entry's CRC does not.
inline bool DanneggiaPrimaVoce(const std::string& percorso) {
    std::ifstream in(percorso, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string b = ss.str();
    if (b.size() < 30 || b.compare(0, 4, "PK\x03\x04") != 0) return false;
    auto u16 = [&](std::size_t o) { return static_cast<unsigned char>(b[o]) | static_cast<unsigned char>(b[o + 1]) << 8; };
    auto u32 = [&](std::size_t o) { return static_cast<std::size_t>(u16(o)) | static_cast<std::size_t>(u16(o + 2)) << 16; };
    std::size_t dati = 30 + static_cast<std::size_t>(u16(26)) + static_cast<std::size_t>(u16(28));
    std::size_t dimensione = u32(18);
    if (dimensione == 0 || dati + dimensione > b.size()) return false;
    b[dati + dimensione / 2] = static_cast<char>(b[dati + dimensione / 2] ^ 0x5A);
    std::ofstream(percorso, std::ios::binary | std::ios::trunc) << b;
    return true;
}

}  // namespace strumenti
