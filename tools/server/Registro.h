#pragma once
// One line per answer on standard error.
#include <string>

#include "Richiesta.h"
#include "Risposta.h"

namespace server {

void RegistraRichiesta(const std::string& indirizzo, const Richiesta& richiesta, const Risposta& risposta);

// `testo` with control bytes, quotes and backslashes as \xHH: what a client
// sends can never start a line of its own or break the quoting.
std::string Sfuggito(const std::string& testo);

}  // namespace server
