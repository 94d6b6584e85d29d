#include "Orologio.h"

#include <mutex>

namespace noce::sistema {

namespace {

std::mutex mutexOrologio;
std::function<DataOra()> orologioDiProva;

DataOra Adesso() {
    {
        std::lock_guard<std::mutex> l(mutexOrologio);
        if (orologioDiProva) return orologioDiProva();
    }
    return OrologioDiSistema();
}

}  // namespace

DataOra Data() { return Adesso(); }
DataOra Ora() { return Adesso(); }

void ImpostaOrologio(std::function<DataOra()> orologio) {
    std::lock_guard<std::mutex> l(mutexOrologio);
    orologioDiProva = std::move(orologio);
}

}  // namespace noce::sistema
