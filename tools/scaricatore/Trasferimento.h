#pragma once
// One fetch over HTTP: attempts, resume and its safety, the same on every
// platform; the bytes travel through the platform's Trasporto.
#include <cstdint>
#include <functional>
#include <string>

#include "FileParziale.h"
#include "Impostazioni.h"
#include "LogScarico.h"

namespace scaricatore {

struct Esito {
    bool riuscito = false;
    std::string motivo;  // why it failed, for the log
};

// Called now and then while bytes arrive: bytes held, whole size (-1 when
// the server has not said).
using Avanzamento = std::function<void(std::uint64_t fatti, std::int64_t totale)>;

// Fetches `url` into `file`. A broken transfer is taken up again where it
// stopped, with Range and If-Range, so that a file that changed on the
// server in the meantime comes again whole instead of being stitched from
// two versions; a part is taken only when it is exactly the one asked for,
// of the file the first answer announced. Only a 2xx answer is content, and
// only a body whose framing (a length, or chunks) says it has ended is
// whole: a body that merely stops when the connection closes is not.
Esito Scarica(const std::string& url, FileParziale& file, const Impostazioni& imp, const LogScarico& log,
              const Avanzamento& avanzamento);

}  // namespace scaricatore
