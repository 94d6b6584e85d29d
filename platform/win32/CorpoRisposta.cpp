// The response body's temporary file on Windows: in the user's temporary
// folder, deleted by the system when its handle closes, also after a crash.
#include "../CorpoRisposta.h"

#include <windows.h>

#include "ErroriWin.h"
#include "FileWin.h"

namespace noce {

namespace {

HANDLE H(void* m) { return static_cast<HANDLE>(m); }

}  // namespace

CorpoRisposta::CorpoRisposta() {
    wchar_t cartella[MAX_PATH + 1], nome[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, cartella);
    if (n == 0 || n > MAX_PATH) throw win32::UltimoErrore(true);
    if (!GetTempFileNameW(cartella, L"noc", 0, nome)) throw win32::UltimoErrore(true);
    maniglia_ = CreateFileW(nome, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (maniglia_ == INVALID_HANDLE_VALUE) {
        auto errore = win32::UltimoErrore();
        DeleteFileW(nome);
        throw errore;
    }
}

CorpoRisposta::~CorpoRisposta() { CloseHandle(H(maniglia_)); }

void CorpoRisposta::Scrivi(const char* dati, std::size_t n) { win32::ScriviTuttoWin(H(maniglia_), dati, n); }

std::size_t CorpoRisposta::Leggi(char* buf, std::size_t n, unsigned long long posizione) const {
    OVERLAPPED o{};
    o.Offset = static_cast<DWORD>(posizione);
    o.OffsetHigh = static_cast<DWORD>(posizione >> 32);
    DWORD letti = 0;
    DWORD quanti = n > 0x10000000 ? 0x10000000 : static_cast<DWORD>(n);
    if (!ReadFile(H(maniglia_), buf, quanti, &letti, &o)) {
        if (GetLastError() == ERROR_HANDLE_EOF) return 0;
        throw win32::UltimoErrore();
    }
    return letti;
}

}  // namespace noce
