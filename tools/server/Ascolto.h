#pragma once
// The listening socket and its loop: each accepted client on a thread of
// its own, up to a cap, until a stop signal or the end of the run.
#include <string>

#include "Connessione.h"
#include "FileStatici.h"

namespace server {

// A listening socket on `indirizzo`:`porta` (0: any free port, written
// back into `porta`), or -1 with the reason in `errore`.
int Ascolta(const std::string& indirizzo, int& porta, std::string& errore);

struct Servizio {
    const FileStatici* file = nullptr;
    Limiti limiti;
    int massimeConnessioni = 256;
    long durataS = 0;  // stop by itself after this long; 0: never
};

// Accepts on `ascolto` until `segnali` (a signalfd of the stop signals)
// is readable or the run's time is over; then ends every connection.
// False when some connection did not end in time.
bool ServiFinoAllArresto(int ascolto, int segnali, const Servizio& servizio);

}  // namespace server
