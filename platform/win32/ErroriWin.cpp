#include "ErroriWin.h"

#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>

#include "Unicode.h"

namespace noce::win32 {

ErroreRuntime ErroreDaWin32(unsigned long codice, bool cartella) {
    switch (codice) {
    case ERROR_FILE_NOT_FOUND: return ErroreDi(cartella ? err::PercorsoNonTrovato : err::FileNonTrovato);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_DIRECTORY: return ErroreDi(err::PercorsoNonTrovato);
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return ErroreDi(err::AutorizzazioneNegata);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ErroreDi(err::DiscoPieno);
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ErroreDi(err::MemoriaInsufficiente);
    default: return ErroreDi(err::ErroreAccesso);
    }
}

ErroreRuntime UltimoErrore(bool cartella) { return ErroreDaWin32(GetLastError(), cartella); }

std::string TestoDiSistema(unsigned long codice, const wchar_t* modulo) {
    HMODULE m = modulo ? GetModuleHandleW(modulo) : nullptr;
    DWORD origine = FORMAT_MESSAGE_FROM_SYSTEM | (m ? FORMAT_MESSAGE_FROM_HMODULE : 0);
    wchar_t* testo = nullptr;
    DWORD n = FormatMessageW(origine | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, m, codice, 0,
                             reinterpret_cast<wchar_t*>(&testo), 0, nullptr);
    std::wstring w = n && testo ? std::wstring(testo, n) : std::wstring();
    if (testo) LocalFree(testo);
    // The system ends its texts with a line break, and often a full stop.
    while (!w.empty() && (w.back() == L'\n' || w.back() == L'\r' || w.back() == L' ' || w.back() == L'.')) w.pop_back();
    return DaLarga(w);
}

unsigned long UltimoErroreWinHttp() {
    DWORD e = GetLastError();
    switch (e) {
    case WSAETIMEDOUT: return ERROR_WINHTTP_TIMEOUT;
    case WSAECONNREFUSED: return ERROR_WINHTTP_CANNOT_CONNECT;
    case WSAECONNRESET:
    case WSAECONNABORTED: return ERROR_WINHTTP_CONNECTION_ERROR;
    }
    return e;
}

}  // namespace noce::win32
