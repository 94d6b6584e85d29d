// The registry file as a round trip: whatever export text parses is
// written out and parsed again, and must come back identical, every key
// and every value byte.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/Errori.h"
#include "platform/posix/Registro.h"

namespace {

bool Uguali(const std::vector<noce::posix::ChiaveRegistro>& a, const std::vector<noce::posix::ChiaveRegistro>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].nome != b[i].nome || a[i].valori.size() != b[i].valori.size()) return false;
        for (std::size_t k = 0; k < a[i].valori.size(); ++k) {
            const auto &x = a[i].valori[k], &y = b[i].valori[k];
            if (x.nome != y.nome || x.tipo != y.tipo || x.dati != y.dati) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    const std::string testo(reinterpret_cast<const char*>(dati), n);
    std::vector<noce::posix::ChiaveRegistro> prima;
    try {
        prima = noce::posix::AnalizzaRegistro(testo);
    } catch (const noce::ErroreRuntime&) {
        return 0;
    }
    const std::string scritto = noce::posix::TestoRegistro(prima);
    std::vector<noce::posix::ChiaveRegistro> dopo;
    try {
        dopo = noce::posix::AnalizzaRegistro(scritto);
    } catch (const noce::ErroreRuntime&) {
        std::abort();  // what we wrote ourselves cannot be read back
    }
    if (!Uguali(prima, dopo)) std::abort();
    return 0;
}
