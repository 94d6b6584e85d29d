#pragma once
// What the extractor asks of the system: the files and folders it makes,
// the free space, the archive; on the platform's own calls
// (posix/ and win32/ hold the two implementations).
#include <zip.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace estrattore {

// A failed write; `discoPieno` when the disk or the quota ran out, which
// ends the whole extraction.
struct ErroreFile : std::runtime_error {
    ErroreFile(const std::string& messaggio, bool pieno) : std::runtime_error(messaggio), discoPieno(pieno) {}
    bool discoPieno;
};

struct DatiFile {
    bool eseguibile = false;  // mode 0755 rather than 0644, the umask taken off either
    std::int64_t data = -1;   // modification time (Unix seconds), -1 to leave it
};

// `scrivi` for the bytes of a file being made; throws ErroreFile.
using Scrivi = std::function<void(const char* dati, std::size_t n)>;

// Makes `finale` (in host folder `cartella`) from what `produci` writes:
// into a new hidden file beside it, created so that nothing planted under
// that name (a link above all) is ever written through, then renamed over
// `finale`. When `produci` throws, the exception goes on and nothing is
// left behind. Throws ErroreFile.
void CreaFile(const std::string& cartella, const std::string& finale, const DatiFile& dati,
              const std::function<void(const Scrivi&)>& produci);

// The host path of `nome` in host folder `cartella`.
std::string Dentro(const std::string& cartella, const std::string& nome);

// What lies at a host path, links not followed.
enum class Tipo { Nessuno, File, Cartella, Altro };
Tipo TipoDi(const std::string& host);

// Bytes free for us on the disk that holds host path `percorso` (or its
// nearest existing parent), and the unit a file's size is rounded up to
// there; empty when the system does not say.
struct Spazio {
    std::uint64_t liberi = 0;
    std::uint64_t blocco = 1;
};
std::optional<Spazio> SpazioLibero(const std::string& percorso);

// The archive named by a Windows path, as Info-ZIP finds it: as given, else
// with ".zip" added. Its host path, or empty.
std::string TrovaArchivio(const std::string& percorsoWindows);
// The archive's bytes for libzip.
zip_source_t* ApriSorgente(const std::string& host, zip_error_t* errore);

// The command line in UTF-8: as given on POSIX, from the wide command
// line on Windows (the ANSI one loses what the code page lacks).
std::vector<std::string> Argomenti(int argc, char** argv);

// Whether entry name `nome` matches a name given on the command line, with
// the wildcards * ? and [...] as Info-ZIP takes them.
bool Corrisponde(const std::string& modello, const std::string& nome);

}  // namespace estrattore
