// The WinHTTP errors the request object reports, with the texts an Italian
// system gives for them.
#include "Http.h"

namespace noce::http {

ErroreRuntime ErroreWinHttp(int c, const std::string& altrimenti) {
    std::string testo = altrimenti;
    switch (c) {
    case codice::Timeout: testo = "Timeout dell'operazione"; break;
    case codice::UrlNonValido: testo = "URL non valido"; break;
    case codice::SchemaNonRiconosciuto: testo = "Lo schema dell'URL non è riconosciuto o non è supportato"; break;
    case codice::NomeNonRisolto: testo = "Impossibile risolvere il nome o l'indirizzo del server"; break;
    case codice::ConnessioneImpossibile: testo = "Impossibile stabilire una connessione con il server"; break;
    case codice::ConnessioneInterrotta:
        testo = "La connessione con il server è stata interrotta in modo anomalo";
        break;
    case codice::PrimaDiOpen: testo = "Impossibile chiamare questo metodo prima di Open"; break;
    case codice::RispostaNonValida: testo = "Risposta del server non valida"; break;
    case codice::IntestazioneNonValida: testo = "Intestazione non valida"; break;
    }
    // As an HRESULT of the Win32 facility, read as a signed 32-bit number.
    std::int64_t hresult = static_cast<std::int64_t>(0x80070000u | static_cast<unsigned>(c)) - 0x100000000LL;
    return ErroreRuntime(hresult, testo);
}


}  // namespace noce::http
