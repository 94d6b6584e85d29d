#pragma once
// One client connection, served on its own thread: requests one after the
// other until the client closes, a limit is passed, or the server stops.
#include <string>

#include "FileStatici.h"

namespace server {

struct Limiti {
    int attesaMs = 5000;   // for the first byte of a request
    int testaMs = 10000;   // for the whole head, and for a body to throw away
    int invioMs = 30000;   // for a client that takes nothing of the answer
};

// Serves `fd` (the caller closes it afterwards); `indirizzo` is the
// client's, for the log.
void ServiConnessione(int fd, const std::string& indirizzo, const FileStatici& file, const Limiti& limiti);

// Writes a short answer and stops: for a client the server has no room for.
void RifiutaConnessione(int fd, int codice);

}  // namespace server
