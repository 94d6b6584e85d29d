#pragma once
// The emulated Windows machine inside a drive folder: its special folders,
// system programs, registry file, version and the user's rights.
#include <cstdint>
#include <string>

namespace noce::posix {

struct ImpostazioniMacchina {
    std::uint32_t piattaforma = 2;  // PiattaformaWin32NT
    std::uint32_t maggiore = 6;
    std::uint32_t minore = 1;
    std::uint32_t build = 7601;
    bool amministratore = true;
};

// Lays out the Windows tree in a drive folder, once per process and folder:
// the special folders, the system programs in C:\Windows\System32, the
// registry file and the machine's settings. What is already there stays.
void PreparaMacchina(const std::string& cartellaDrive);

// The settings of a drive: its Windows version and whether the person has
// administrator rights. A drive without a settings file is NT 6.1 with
// rights.
ImpostazioniMacchina LeggiImpostazioni(const std::string& cartellaDrive);
void ScriviImpostazioni(const std::string& cartellaDrive, const ImpostazioniMacchina& imp);

// Host paths inside a drive folder.
std::string FileImpostazioni(const std::string& cartellaDrive);  // Windows\noce-machine.ini
std::string FileRegistro(const std::string& cartellaDrive);      // registry.reg
std::string NomeUtente();

// The Windows path of a special folder of the machine (C:\Windows\System32
// for CSIDL 37), empty for one it does not know.
std::string PercorsoSpeciale(int csidl);

// True when a host path lies in the part of the drive that only an
// administrator may change (the Windows folder).
bool ProtettoDaAmministratore(const std::string& percorsoHost);

}  // namespace noce::posix
