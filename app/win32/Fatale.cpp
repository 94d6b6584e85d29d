// The view's last resort.
#include "Fatale.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace noce::win32 {

void Fatale(const std::string& testo) {
    std::fprintf(stderr, "NoceInstallazione: %s\n", testo.c_str());
    MessageBoxA(nullptr, testo.c_str(), "NoceInstallazione", MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
    std::fflush(nullptr);
    std::_Exit(1);
}

void FataleWin(const char* chiamata) {
    const unsigned long errore = GetLastError();
    Fatale(std::string(chiamata) + " failed (Windows error " + std::to_string(errore) + ").");
}

}  // namespace noce::win32
