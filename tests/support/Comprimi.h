#pragma once
// Bodies compressed as a server would send them.
#include <zlib.h>

#include <string>

namespace noce::prova {

// Deflates with zlib: 16 + MAX_WBITS for gzip, MAX_WBITS for the zlib
// wrapper, -MAX_WBITS for raw deflate.
inline std::string Comprimi(const std::string& dati, int bitFinestra) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, bitFinestra, 8, Z_DEFAULT_STRATEGY);
    std::string fuori(deflateBound(&z, dati.size()) + 32, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(dati.data()));
    z.avail_in = static_cast<uInt>(dati.size());
    z.next_out = reinterpret_cast<Bytef*>(fuori.data());
    z.avail_out = static_cast<uInt>(fuori.size());
    deflate(&z, Z_FINISH);
    fuori.resize(z.total_out);
    deflateEnd(&z);
    return fuori;
}
inline std::string Gzip(const std::string& d) { return Comprimi(d, 16 + MAX_WBITS); }

}  // namespace noce::prova
