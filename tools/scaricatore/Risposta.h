#pragma once
// What the downloader needs from the headers of one HTTP response.
#include <cstdint>
#include <string>
#include <string_view>

namespace scaricatore {

struct Risposta {
    long codice = 0;
    std::string motivo;
    std::int64_t lunghezza = -1;         // Content-Length, -1 when absent
    std::int64_t inizioIntervallo = -1;  // Content-Range: first byte
    std::int64_t totaleIntervallo = -1;  // Content-Range: whole size, -1 for "*"
    std::string etag, ultimaModifica;

    // What identifies this version of the file for If-Range: a strong ETag,
    // else Last-Modified; empty when the server gave neither (then a broken
    // transfer cannot be resumed safely and starts again from zero).
    std::string Validatore() const;
};

// Takes one header line as libcurl hands it over (with its CR LF). A status
// line starts a new response: interim and redirect responses leave nothing
// behind.
void LeggiIntestazione(std::string_view riga, Risposta& r);

}  // namespace scaricatore
