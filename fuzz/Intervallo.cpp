// The server's Range reader: a part it grants lies inside the file, and a
// refusal only comes for a range that starts past the end.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/server/Intervallo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    if (n < 8) return -1;
    std::uint64_t dimensione = 0;
    std::memcpy(&dimensione, dati, 8);
    if (dati[0] & 1) dimensione %= 1000;  // small files half the time, where the edges are
    const std::string intestazione(reinterpret_cast<const char*>(dati) + 8, n - 8);
    server::Intervallo r = server::LeggiIntervallo(intestazione, dimensione);
    using T = server::Intervallo::Tipo;
    if (r.tipo == T::Parte && (r.inizio > r.fine || r.fine >= dimensione)) std::abort();
    if (r.tipo != T::Intero && intestazione.find("bytes=") == std::string::npos) std::abort();
    return 0;
}
