#pragma once
// What the installer asks of the operating system, in Windows terms.
//
// Every path here is a Windows path ("C:\Setup\files\lista.txt"); every
// string is UTF-8. The implementation for Linux lives in posix/; nothing
// outside that folder touches the host's file system, processes or clocks.
// Failures are thrown as ErroreRuntime with the runtime's numbers.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Errori.h"

namespace noce::sistema {

// ---- File system -------------------------------------------------------

// Folder test: true when a folder or a plain file of that name exists.
bool EsisteCartella(const std::string& percorso);
// File test: true only for a plain file that is neither hidden nor a
// system file.
bool EsisteFile(const std::string& percorso);
// Creates one folder level (MkDir); the parent must exist.
void CreaCartella(const std::string& percorso);
// Removes an empty folder (RmDir).
void RimuoviCartella(const std::string& percorso);
// Copies a file, replacing the destination (FileCopy). The copy is written
// beside the destination and renamed into place, so a failed copy never
// leaves a half-written file under the destination's name.
void CopiaFile(const std::string& da, const std::string& a);
// Starts bringing the copies made so far to the disk, in the background;
// the next deletion waits until they are there. Where each copy reaches
// the disk before CopiaFile returns, there is nothing to do.
void AvviaSalvataggioCopie();
// Deletes a plain file (Kill).
void EliminaFile(const std::string& percorso);
// What a folder listing tells of an entry. A link is a file, whatever it
// points at (deleting it by name removes the link); a link to a folder
// elsewhere is no folder of this one, so it is Altro on Windows.
enum class TipoVoce { File, Cartella, Altro };
struct VoceCartella {
    std::string nome;
    TipoVoce tipo = TipoVoce::Altro;
    bool nascosta = false;  // hidden or system; on Linux, a name with a leading "."
};
// Every entry of a folder but "." and "..", sorted by name without regard
// to case as the platform sorts them. Throws for a folder that is not there.
std::vector<VoceCartella> VociCartella(const std::string& cartella);
// The names of the entries the filter keeps, in that order.
std::vector<std::string> Elenco(const std::string& cartella, const std::function<bool(const VoceCartella&)>& filtro);
// The plain, visible files of a folder (what a file list box shows).
std::vector<std::string> ElencoFile(const std::string& cartella);
// The sub-folders of a folder, hidden ones too, without following links out
// of it.
std::vector<std::string> ElencoCartelle(const std::string& cartella);

// ---- Text files (Windows-1252 on disk, UTF-8 here) -----------------------

// Reads a whole file and converts it to UTF-8; line ends are kept as read.
std::string LeggiTesto(const std::string& percorso);
// Creates or empties a file and writes the text (Open For Output + Print).
void ScriviTesto(const std::string& percorso, const std::string& testo);
// Appends the text, creating the file if needed (Open For Append + Print).
void AccodaTesto(const std::string& percorso, const std::string& testo);
// Writes raw bytes to a temporary file beside the target and renames it
// into place; the target is replaced.
void SalvaBytes(const std::string& percorso, const std::string& bytes);
// The same for content that comes in pieces: `pezzo` fills at most n bytes
// and returns how many, 0 at the end.
void SalvaAPezzi(const std::string& percorso, const std::function<std::size_t(char*, std::size_t)>& pezzo);

// ---- Installer and clock ------------------------------------------------

// The folder that holds the running installer, without a trailing "\".
std::string CartellaProgramma();

struct DataOra {
    int anno, mese, giorno, ora, minuto, secondo;
};
// The local date and the local time, each read from the clock on its own
// (the log reads the date first, then the time).
DataOra Data();
DataOra Ora();
// Replaces the clock for tests; an empty function restores the real one.
void ImpostaOrologio(std::function<DataOra()> orologio);

// ---- Machine --------------------------------------------------------------

struct OSVERSIONINFOA {
    std::uint32_t dwOSVersionInfoSize = 0;
    std::uint32_t dwMajorVersion = 0;
    std::uint32_t dwMinorVersion = 0;
    std::uint32_t dwBuildNumber = 0;
    std::uint32_t dwPlatformId = 0;
    char szCSDVersion[128] = {};
};
// dwPlatformId: the 95 family and the NT family. Not the <windows.h>
// names, which are macros there.
inline constexpr std::uint32_t PiattaformaWin32Windows = 1;
inline constexpr std::uint32_t PiattaformaWin32NT = 2;

// Fills the record when its size field is 148; returns false otherwise.
bool GetVersionExA(OSVERSIONINFOA& versione);
// Non-zero when the process has administrator rights (may write to the
// system folder).
int IsNTAdmin(int riservato, void* riservato2);
// The path of a shell special folder, empty for a CSIDL the machine does
// not know (SHGetSpecialFolderLocation + SHGetPathFromIDListA).
std::string CartellaSpecialeSistema(int csidl);

// ---- Processes ------------------------------------------------------------

enum class StileFinestra { Nascosta = 0, NormaleAttiva = 1, RidottaAttiva = 2, IngranditaAttiva = 3 };

// Starts a command line and does not wait (the runtime's Shell); returns the
// process identifier. Throws error 53 when the program cannot be found or
// started.
std::int64_t AvviaProgramma(const std::string& riga, StileFinestra stile);
// Every program started is reaped by the system layer as soon as it ends,
// whether or not anyone asks about it: none is left behind as a zombie.
//
// Waits until a program started with AvviaProgramma has ended (at once when
// it already has), at most `ms` milliseconds; false when it still runs.
inline constexpr std::uint32_t SenzaLimite = 0xFFFFFFFF;
bool AttendiProgramma(std::int64_t processo, std::uint32_t ms = SenzaLimite);
// True once a program started with AvviaProgramma has ended, and for an
// identifier it never gave.
bool ProgrammaTerminato(std::int64_t processo);
// Starts a command line (CreateProcessA) and waits for it without time-out.
// Returns false, at once, when nothing could be started.
bool AvviaEAttendi(const std::string& riga);

}  // namespace noce::sistema
