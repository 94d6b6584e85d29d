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

// Sets a value, creating the key; an existing value of that name is
// replaced. Throws ErroreRuntime when the registry cannot be written.
void ImpostaValoreRegistro(const std::string& chiave, const ValoreRegistro& valore);
std::optional<ValoreRegistro> LeggiValoreRegistro(const std::string& chiave, const std::string& nome);
// The direct sub-keys of a key (their names only).
std::vector<std::string> SottochiaviRegistro(const std::string& chiave);

// The components registered by regsvr32.exe: the paths their
// InprocServer32 keys name, in registry order.
std::vector<std::string> ComponentiRegistrati();

}  // namespace noce::posix
