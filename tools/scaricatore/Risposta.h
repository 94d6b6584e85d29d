#pragma once
// What the downloader needs from the headers of one HTTP response. The
// reader takes bytes from the network as they are: nothing in them may make
// it overflow, read past its buffer or take a malformed number as a size.
#include <cstdint>
#include <string>
#include <string_view>

namespace scaricatore {

struct Risposta {
    long codice = 0;
    std::string motivo;
    std::int64_t lunghezza = -1;         // Content-Length, -1 when absent
    bool chunked = false;                // Transfer-Encoding ends in "chunked"
    std::int64_t inizioIntervallo = -1;  // Content-Range: first byte
    std::int64_t fineIntervallo = -1;    // Content-Range: last byte
    std::int64_t totaleIntervallo = -1;  // Content-Range: whole size, -1 for "*"
    std::string codifica;                // Content-Encoding, as sent
    std::string etag, ultimaModifica;
    // Set when a header that decides the body's size is malformed: such a
    // body cannot be framed, and the response is refused.
    std::string nonValida;

    // What identifies this version of the file for If-Range: a strong ETag,
    // else Last-Modified; empty when the server gave neither (then a broken
    // transfer cannot be resumed safely and starts again from zero).
    std::string Validatore() const;
};

// Takes one header line as it came (with or without its CR LF). A status
// line starts a new response: interim and redirect responses leave nothing
// behind.
void LeggiIntestazione(std::string_view riga, Risposta& r);

// The same over a whole head: the status line and the header lines, up to
// the blank line or the end of the buffer.
Risposta LeggiIntestazioni(std::string_view testa);

// A decimal number of at most 18 digits with nothing else around it but
// blanks; -1 for anything else (a sign, a letter, a number too large to be
// a size).
std::int64_t NumeroIntestazione(std::string_view s);

}  // namespace scaricatore
