// The machine and clock services of Sistema.h on a Linux host.
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "../Orologio.h"
#include "Macchina.h"
#include "Percorsi.h"

namespace noce::sistema {

DataOra OrologioDiSistema() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string CartellaProgramma() {
    // NOCE_CARTELLA_PROGRAMMA (a Windows path without a trailing "\") puts
    // the installer's folder on a test drive without moving the test program.
    if (const char* c = std::getenv("NOCE_CARTELLA_PROGRAMMA"); c && *c) return c;
    return posix::PercorsoWindows(posix::CartellaEseguibile());
}

bool GetVersionExA(OSVERSIONINFOA& v) {
    if (v.dwOSVersionInfoSize != 148) return false;
    auto imp = posix::LeggiImpostazioni(posix::CartellaDriveC());
    v.dwMajorVersion = imp.maggiore;
    v.dwMinorVersion = imp.minore;
    v.dwBuildNumber = imp.build;
    v.dwPlatformId = imp.piattaforma;
    return true;
}

int IsNTAdmin(int, void*) {
    std::string d = posix::CartellaDriveC();
    if (!posix::LeggiImpostazioni(d).amministratore) return 0;
    return ::access(posix::PercorsoHost("C:\\Windows\\System32").c_str(), W_OK) == 0 ? 1 : 0;
}

std::string CartellaSpecialeSistema(int csidl) { return posix::PercorsoSpeciale(csidl); }

}  // namespace noce::sistema
