#include "../Marcatore.h"

#include <exception>

#include "platform/win32/ErroriWin.h"
#include "platform/win32/FileWin.h"
#include "platform/win32/Unicode.h"

namespace scaricatore {

Marcatore::Marcatore(std::string percorso) : percorso_(std::move(percorso)) {}

// The platform's replace: a new hidden file beside it (CREATE_NEW, so never
// through a link), renamed over the marker, retried for a while when the
// installer is reading the marker at that moment. Only the final word is
// flushed to disk first: a flush per progress step, while the file itself
// is being written, costs the fetch a third of its time under Wine.
bool Marcatore::Scrivi(const std::string& testo) {
    bool finale = testo[0] != '0';
    try {
        noce::win32::SostituisciConNome(noce::win32::Larga(percorso_), [&](const std::wstring& tmp) {
            noce::win32::Maniglia h(
                CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr));
            if (!h.Valida()) throw noce::win32::UltimoErrore(true);
            noce::win32::ScriviTuttoWin(h.get(), testo.data(), testo.size());
            if (finale && !FlushFileBuffers(h.get())) throw noce::win32::UltimoErrore();
        });
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace scaricatore
