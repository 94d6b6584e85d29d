#include "mdlFont.h"

#include "Sistema.h"
#include "mdlLogInstallazione.h"

namespace noce {

namespace {
std::int64_t batchInCorso = 0;
}

void InstallaFont(std::string& cartellaOrigine, std::string& nomeFont) {
    if (cartellaOrigine.empty() || cartellaOrigine.back() != '\\') cartellaOrigine += "\\";
    // DirFiles is the installer's folder + "\files", set at start-up.
    std::string batch = DirFiles + "\\InstallFont.bat";
    std::string riga1 = "XCOPY \"" + cartellaOrigine + nomeFont + "\" %systemroot%\\fonts /Y /C";
    std::string riga2 =
        "REG ADD \"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts\" /v \"Fulcro (True Type)\" "
        "/t REG_SZ /d \"" + nomeFont + "\" /f";
    sistema::ScriviTesto(batch, riga1 + "\r\n" + riga2 + "\r\n");
    batchInCorso = sistema::AvviaProgramma(batch, sistema::StileFinestra::RidottaAttiva);
}

void AttendiFineInstallaFont() {
    if (batchInCorso == 0) return;
    if (!sistema::AttendiProgramma(batchInCorso, AttesaMassimaFontMs))
        ScriviLog("Installazione del font non terminata dopo " + std::to_string(AttesaMassimaFontMs / 1000) +
                  " secondi: proseguo");
    batchInCorso = 0;
}

}  // namespace noce
