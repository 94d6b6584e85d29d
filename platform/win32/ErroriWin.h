#pragma once
// Win32 error codes as the runtime's errors, the way the installer's traps
// report them.
#include <string>

#include "../Errori.h"

namespace noce::win32 {

// `cartella` when the call was about a folder: a missing one is a path that
// cannot be found rather than a file.
ErroreRuntime ErroreDaWin32(unsigned long codice, bool cartella = false);
// The same, for GetLastError().
ErroreRuntime UltimoErrore(bool cartella = false);

// The system's own text for a code, from `modulo` (a DLL with a message
// table, such as winhttp.dll) or from the system; empty when it has none.
std::string TestoDiSistema(unsigned long codice, const wchar_t* modulo = nullptr);

// GetLastError() after a failed WinHTTP call. Wine lets some socket errors
// through where Windows reports its own WinHTTP codes; they are mapped back.
unsigned long UltimoErroreWinHttp();

}  // namespace noce::win32
