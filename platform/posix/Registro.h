#pragma once
// The registry of the emulated machine: one text file in the drive folder,
// in the format of a Windows registry export ("Windows Registry Editor
// Version 5.00"). Every change takes an exclusive lock on the file, reads
// it, and replaces it atomically, so two writers (the installer, cmd.exe,
// regsvr32.exe) never lose each other's values or leave a torn file.
#include <optional>
#include <string>
#include <vector>

namespace noce::posix {

// Keys are written as in an export: "HKEY_LOCAL_MACHINE\SOFTWARE\...";
// the short roots (HKLM, HKCU, HKCR, HKU, HKCC) are accepted and expanded.
// Key and value names compare without regard to case. An empty value name
// is the key's default value ("@" in the file).
struct ValoreRegistro {
    std::string nome;
    std::string tipo;  // "REG_SZ", "REG_DWORD", "REG_EXPAND_SZ", ...
    std::string dati;  // text for REG_SZ, decimal for REG_DWORD
};
// The other types carry their data as:
//   REG_EXPAND_SZ  text
//   REG_MULTI_SZ   the strings, each followed by "\0" except the last
//   REG_QWORD      decimal
//   anything else  the bytes in hex, comma-separated as in an export
//                  ("01,ff,20")

// Changes below HKEY_LOCAL_MACHINE need administrator rights, as on
// Windows: without them they fail with "Autorizzazione negata".

// Sets a value, creating the key; an existing value of that name is
// replaced. Throws ErroreRuntime when the registry cannot be written.
void ImpostaValoreRegistro(const std::string& chiave, const ValoreRegistro& valore);
std::optional<ValoreRegistro> LeggiValoreRegistro(const std::string& chiave, const std::string& nome);
// The direct sub-keys of a key (their names only).
std::vector<std::string> SottochiaviRegistro(const std::string& chiave);
// Removes a key with all its sub-keys; false when there was none.
bool EliminaChiaveRegistro(const std::string& chiave);
// Creates a key (and its parents); an existing key is left as it is.
void CreaChiaveRegistro(const std::string& chiave);
// True when the key exists.
bool EsisteChiaveRegistro(const std::string& chiave);

// The components registered by regsvr32.exe: the paths their
// InprocServer32 keys name, in registry order.
std::vector<std::string> ComponentiRegistrati();

// What regsvr32.exe records for a component, given its full Windows path:
// HKEY_LOCAL_MACHINE\SOFTWARE\Classes\CLSID\{GUID} with the file name as
// default value, and its InprocServer32 sub-key with the path and
// "ThreadingModel"="Apartment". The GUID is derived from the path without
// regard to case, so registering the same file again changes nothing.
std::string ChiaveComponente(const std::string& percorsoWindows);
void RegistraComponente(const std::string& percorsoWindows);
// Removes that record; false when the component was not registered.
bool AnnullaRegistrazioneComponente(const std::string& percorsoWindows);

// ---- The export format, for whoever needs to read or write one ----------

struct ChiaveRegistro {
    std::string nome;  // full path with the long root name
    std::vector<ValoreRegistro> valori;
};
// Parses an export; throws ErroreRuntime naming the line that is not
// valid. Sub-keys follow their parents; keys are sorted without regard to
// case, as an export lists them.
std::vector<ChiaveRegistro> AnalizzaRegistro(const std::string& testo);
// The export text of a set of keys (CR LF, UTF-8).
std::string TestoRegistro(const std::vector<ChiaveRegistro>& chiavi);
// A key path with its root expanded ("HKLM\x" -> "HKEY_LOCAL_MACHINE\x");
// throws ErroreRuntime for an unknown root or an empty component.
std::string NomeChiaveCompleto(const std::string& chiave);

}  // namespace noce::posix
