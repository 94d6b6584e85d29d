// The installer's own HTTP client: one response read off a connection
// that hands out the input in small, uneven pieces, then its content
// decoded. Refusals are errors, never crashes; the reader never asks for a
// byte past the input's end once it said the response was complete.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/Errori.h"
#include "platform/Http.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    if (n < 2) return -1;
    const bool head = dati[0] & 1;
    const std::size_t passo = dati[1] % 16 + 1;
    const std::string testo(reinterpret_cast<const char*>(dati) + 2, n - 2);
    std::size_t letti = 0;
    noce::http::Sorgente sorgente = [&](char* buf, std::size_t quanto) {
        std::size_t k = std::min({quanto, passo, testo.size() - letti});
        std::copy_n(testo.data() + letti, k, buf);
        letti += k;
        return k;
    };
    noce::http::Risposta r;
    try {
        r = noce::http::LeggiRisposta(sorgente, head);
    } catch (const noce::ErroreRuntime&) {
        return 0;
    }
    if (r.corpo.size() > testo.size()) std::abort();
    try {
        noce::http::DecodificaContenuto(noce::http::ValoreIntestazione(r.intestazioni, "Content-Encoding"), r.corpo);
    } catch (const noce::ErroreRuntime&) {
    }
    return 0;
}
