#include "Errori.h"

#include <new>

namespace noce {

std::string DescrizioneErrore(int numero) {
    switch (numero) {
    case err::ChiamataNonValida: return "Chiamata di routine o argomento non validi";
    case err::Overflow: return "Overflow";
    case err::MemoriaInsufficiente: return "Memoria esaurita";
    case err::FileNonTrovato: return "Impossibile trovare il file";
    case err::FileGiaAperto: return "File già aperto";
    case err::DiscoPieno: return "Disco pieno";
    case err::InputOltreFine: return "Input oltre la fine del file";
    case err::AutorizzazioneNegata: return "Autorizzazione negata";
    case err::ErroreAccesso: return "Errore di accesso al percorso/file";
    case err::PercorsoNonTrovato: return "Impossibile trovare il percorso";
    default: return "Errore definito dall'applicazione o dall'oggetto";
    }
}

ErroreRuntime ErroreDi(int numero) { return ErroreRuntime(numero, DescrizioneErrore(numero)); }

ErroreCatturato CatturaErrore(const std::exception& e) {
    if (auto* r = dynamic_cast<const ErroreRuntime*>(&e)) return {r->Numero(), r->Descrizione()};
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return {err::MemoriaInsufficiente, DescrizioneErrore(err::MemoriaInsufficiente)};
    return {1004, e.what()};
}

}  // namespace noce
