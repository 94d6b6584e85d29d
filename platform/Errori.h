#pragma once
// Failures as the installer sees them: a runtime error with a number and a
// description, the way the traps of the download and installation
// procedures report them ("number.checkpoint description").
#include <cstdint>
#include <stdexcept>
#include <string>

namespace noce {

class ErroreRuntime : public std::runtime_error {
public:
    ErroreRuntime(std::int64_t numero, std::string descrizione)
        : std::runtime_error(descrizione), numero_(numero), descrizione_(std::move(descrizione)) {}
    std::int64_t Numero() const { return numero_; }
    const std::string& Descrizione() const { return descrizione_; }

private:
    std::int64_t numero_;
    std::string descrizione_;
};

// The runtime's error numbers the installer can meet, with the texts an
// Italian system gives for them.
namespace err {
inline constexpr int ChiamataNonValida = 5;   // "Chiamata di routine o argomento non validi"
inline constexpr int Overflow = 6;
inline constexpr int MemoriaInsufficiente = 7;
inline constexpr int FileNonTrovato = 53;
inline constexpr int FileGiaAperto = 55;
inline constexpr int DiscoPieno = 61;
inline constexpr int InputOltreFine = 62;
inline constexpr int AutorizzazioneNegata = 70;
inline constexpr int ErroreAccesso = 75;       // "Errore di accesso al percorso/file"
inline constexpr int PercorsoNonTrovato = 76;
}  // namespace err

// Builds the error for a runtime error number with its standard text.
ErroreRuntime ErroreDi(int numero);
// The standard text of a runtime error number ("Errore definito
// dall'applicazione o dall'oggetto" for numbers without one).
std::string DescrizioneErrore(int numero);

// What a trap reports for any failure: the runtime's number and text for our
// own errors, and a general one for anything unforeseen.
struct ErroreCatturato {
    std::int64_t numero;
    std::string descrizione;
};
ErroreCatturato CatturaErrore(const std::exception& e);

}  // namespace noce
