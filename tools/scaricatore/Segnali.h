#pragma once
// Whatever ends the downloader, the installer must find 1 or 2 in the
// marker, or it waits for ever: termination signals, crashes and
// std::terminate write 2 before the process goes.
#include <string>

namespace scaricatore::segnali {

// Installs the handlers for the marker at `marcatore`. Call once, early.
void Installa(const std::string& marcatore);
// The temporary download file, removed when a signal ends the process.
void RicordaParziale(const std::string& parziale);
void DimenticaParziale();
// The final status is on disk; from now on a signal only ends the process.
void EsitoScritto();

}  // namespace scaricatore::segnali
