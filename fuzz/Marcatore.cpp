// The status marker: its first field and the number it starts with, for
// any bytes the downloader (or anyone) may have left in it.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "download/Marcatore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    const std::string testo(reinterpret_cast<const char*>(dati), n);
    auto campo = noce::PrimoCampo(testo);
    if (campo && campo->size() > testo.size()) std::abort();
    double v = noce::Val(campo ? *campo : testo);
    if (std::isnan(v)) std::abort();
    return 0;
}
