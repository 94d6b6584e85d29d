#pragma once
// The one byte range of a Range request header ("bytes=A-B", "bytes=A-",
// "bytes=-N"), resolved against the size of the file.
#include <cstdint>
#include <string>

namespace server {

struct Intervallo {
    enum class Tipo {
        Intero,           // no usable range: send the whole file (200)
        Parte,            // send [inizio, fine] (206)
        Insoddisfacibile  // nothing of the file lies in it (416)
    } tipo = Tipo::Intero;
    std::uint64_t inizio = 0, fine = 0;  // inclusive
};

// Several ranges, or a header that is not a byte range, give the whole
// file: a server may always ignore Range, and one response per request
// keeps the client's resume logic simple.
Intervallo LeggiIntervallo(const std::string& intestazione, std::uint64_t dimensione);

// Digits only, at most 19 of them, so that the value always fits: no sign,
// no blank, no overflow.
bool NumeroDecimale(const std::string& s, std::uint64_t& v);

}  // namespace server
