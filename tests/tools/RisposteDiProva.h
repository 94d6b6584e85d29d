#pragma once
// The answers the downloader's tests script by hand: bodies, whole and
// partial responses, chunks.
#include <cstdio>
#include <string>

#include "support/ServerDiProva.h"

namespace strumenti::scarico {

inline std::string Corpo(std::size_t n, char seme) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(seme + (i * 7 + i / 251) % 53);
    return s;
}

inline std::string Risposta200(const std::string& corpo, const std::string& etag = "\"v1\"") {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(corpo.size()) + "\r\nETag: " + etag +
           "\r\nConnection: close\r\n\r\n" + corpo;
}

inline std::string Risposta206(const std::string& corpo, std::size_t da, const std::string& etag = "\"v1\"") {
    return "HTTP/1.1 206 Partial Content\r\nContent-Length: " + std::to_string(corpo.size() - da) +
           "\r\nContent-Range: bytes " + std::to_string(da) + "-" + std::to_string(corpo.size() - 1) + "/" +
           std::to_string(corpo.size()) + "\r\nETag: " + etag + "\r\nConnection: close\r\n\r\n" + corpo.substr(da);
}

// A body in chunks of `pezzo` bytes, with or without its last chunk.
inline std::string Chunked(const std::string& corpo, std::size_t pezzo, bool finito = true) {
    std::string r;
    char misura[32];
    for (std::size_t i = 0; i < corpo.size(); i += pezzo) {
        std::string p = corpo.substr(i, pezzo);
        std::snprintf(misura, sizeof misura, "%zx\r\n", p.size());
        r += misura + p + "\r\n";
    }
    return finito ? r + "0\r\n\r\n" : r;
}

inline std::size_t InizioRange(const std::string& richiesta) {
    std::string r = Intestazione(richiesta, "Range");
    return r.rfind("bytes=", 0) == 0 ? std::stoul(r.substr(6)) : 0;
}

}  // namespace strumenti::scarico
