#include "Marcatore.h"

#include "Segnali.h"

namespace scaricatore {

bool Marcatore::InCorso() { return Scrivi("0\r\n"); }

bool Marcatore::Avanzamento(int percentuale) { return Scrivi("0," + std::to_string(percentuale) + "\r\n"); }

bool Marcatore::Riuscito() {
    // Once the final word is on disk a late signal must not turn it into 2.
    bool ok = Scrivi("1\r\n");
    if (ok) segnali::EsitoScritto();
    return ok;
}

bool Marcatore::Fallito() {
    bool ok = Scrivi("2\r\n");
    if (ok) segnali::EsitoScritto();
    return ok;
}

}  // namespace scaricatore
