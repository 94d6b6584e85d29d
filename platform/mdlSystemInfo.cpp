#include "mdlSystemInfo.h"

#include "Sistema.h"
#include "mdlLogInstallazione.h"

namespace noce {

std::string UserDesktopDir;
std::string PrgDir;
std::string SysDir;
std::string DeskDir;
std::string MnuAvvioDir;
std::string MnuAvvioPrgDir;
std::string DirFonts;
std::string Nocedir;

std::string CartellaSpeciale(const int& csidl) {
    // The shell answers with the path, or with nothing for a folder it
    // does not know; a path is cut at its first NUL as the buffer would be.
    std::string percorso = sistema::CartellaSpecialeSistema(csidl);
    auto nul = percorso.find('\0');
    if (nul != std::string::npos) percorso.resize(nul);
    return percorso;
}

void LeggiCartelle() {
    UserDesktopDir = CartellaSpeciale(16);
    ScriviLog("UserDesktopDir:" + UserDesktopDir);
    PrgDir = CartellaSpeciale(38);
    ScriviLog("PrgDir:" + PrgDir);
    SysDir = CartellaSpeciale(37);
    ScriviLog("SysDir:" + SysDir);
    DeskDir = CartellaSpeciale(25);
    ScriviLog("DeskDir:" + DeskDir);
    MnuAvvioDir = CartellaSpeciale(22);
    ScriviLog("MnuAvvioDir:" + MnuAvvioDir);
    MnuAvvioPrgDir = CartellaSpeciale(23);
    ScriviLog("MnuAvvioPrgDir:" + MnuAvvioPrgDir);
    DirFonts = CartellaSpeciale(20);
    ScriviLog("DirFonts:" + DirFonts);
    Nocedir = "c:";
    ScriviLog("Nocedir:" + Nocedir);
}

}  // namespace noce
