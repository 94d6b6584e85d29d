#include "../Marcatore.h"

#include <exception>

#include "platform/win32/FileWin.h"
#include "platform/win32/Unicode.h"

namespace scaricatore {

Marcatore::Marcatore(std::string percorso) : percorso_(std::move(percorso)) {}

// The platform's replace: a new hidden file beside it (CREATE_NEW, so never
// through a link), renamed over the marker, retried for a while when the
// installer is reading the marker at that moment.
bool Marcatore::Scrivi(const std::string& testo) {
    try {
        noce::win32::SostituisciFileWin(noce::win32::Larga(percorso_),
                                        [&](HANDLE h) { noce::win32::ScriviTuttoWin(h, testo.data(), testo.size()); });
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace scaricatore
