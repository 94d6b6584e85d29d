// The extractor's entry names: a name it accepts has no component that
// climbs, is empty, or still holds a separator or a drive colon.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/unzip/NomeVoce.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    const std::string nome(reinterpret_cast<const char*>(dati), n);
    estrattore::NomeVoce v = estrattore::LeggiNomeVoce(nome);
    if (!v.rifiuto.empty()) return 0;
    for (const std::string& parte : v.parti) {
        if (parte.empty() || parte == "." || parte == ".." || parte.find_first_of("/\\:") != std::string::npos)
            std::abort();
        if (parte.find_first_not_of(". ") == std::string::npos) std::abort();
    }
    return 0;
}
