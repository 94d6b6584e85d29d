// The clock and the installer's own folder on Windows.
#include "../Orologio.h"

#include <windows.h>

#include <cstdlib>

#include "Unicode.h"

namespace noce::sistema {

DataOra OrologioDiSistema() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::string CartellaProgramma() {
    // NOCE_CARTELLA_PROGRAMMA (a path without a trailing "\") puts the
    // installer's folder elsewhere without moving the test program.
    if (const char* c = std::getenv("NOCE_CARTELLA_PROGRAMMA"); c && *c) return c;
    std::wstring percorso(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, percorso.data(), static_cast<DWORD>(percorso.size()));
        if (n < percorso.size()) {
            percorso.resize(n);
            break;
        }
        percorso.resize(percorso.size() * 2);
    }
    return win32::DaLarga(percorso.substr(0, percorso.find_last_of(L'\\')));
}

}  // namespace noce::sistema
