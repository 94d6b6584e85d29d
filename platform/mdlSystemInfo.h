#pragma once
// The system folders the installer writes into, and the product's shortcut.
#include <string>

namespace noce {

extern std::string UserDesktopDir;
extern std::string PrgDir;
extern std::string SysDir;
extern std::string DeskDir;
extern std::string MnuAvvioDir;
extern std::string MnuAvvioPrgDir;
extern std::string DirFonts;
extern std::string Nocedir;

// The path of a shell special folder, empty when the system does not know it.
std::string CartellaSpeciale(const int& csidl);

// Fills the eight folder globals, in order, logging each one.
void LeggiCartelle();

// Creates the NOCE shortcut on the shared desktop and copies it into the
// "Fulcro" group of the shared start menu. Any failure ends it silently.
void CreaLink();

}  // namespace noce
