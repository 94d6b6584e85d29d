#include "Impostazioni.h"

#include <cstdlib>

namespace scaricatore {

namespace {

template <typename T>
void Applica(const char* nome, T& valore) {
    const char* testo = std::getenv(nome);
    if (!testo || !*testo) return;
    char* fine = nullptr;
    long letto = std::strtol(testo, &fine, 10);
    if (*fine == 0 && letto > 0) valore = static_cast<T>(letto);
}

}  // namespace

Impostazioni LeggiImpostazioni() {
    Impostazioni imp;
    Applica("NOCE_SCARICO_CONNESSIONE_S", imp.connessioneS);
    Applica("NOCE_SCARICO_STALLO_S", imp.stalloS);
    Applica("NOCE_SCARICO_TENTATIVI", imp.tentativi);
    Applica("NOCE_SCARICO_PAUSA_MS", imp.pausaMs);
    Applica("NOCE_SCARICO_VELOCITA_MINIMA", imp.velocitaMinima);
    Applica("NOCE_SCARICO_FINESTRA_S", imp.finestraS);
    Applica("NOCE_SCARICO_SCADENZA_S", imp.scadenzaS);
    return imp;
}

}  // namespace scaricatore
