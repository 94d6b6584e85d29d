// The server's request head reader: whatever it accepts has a path that
// starts at the root and no more headers than the limit.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/server/Richiesta.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    const std::string testo(reinterpret_cast<const char*>(dati), n);
    std::size_t fine = server::FineTesta(testo);
    if (fine > testo.size()) std::abort();
    server::Richiesta r;
    int codice = server::LeggiRichiesta(fine ? testo.substr(0, fine) : testo, r);
    if (codice != 0) return 0;
    if (r.percorso.empty() || r.percorso[0] != '/' || r.intestazioni.size() > server::MassimeIntestazioni) std::abort();
    return 0;
}
