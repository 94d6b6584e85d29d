// The machine as the installer asks about it: its version, the user's
// rights and the shell's special folders, each through the call the
// installer has always made.
#include "../Sistema.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "Unicode.h"

namespace noce::sistema {

bool GetVersionExA(OSVERSIONINFOA& v) {
    if (v.dwOSVersionInfoSize != 148) return false;
    ::OSVERSIONINFOA w{};
    w.dwOSVersionInfoSize = sizeof w;
    static_assert(sizeof(::OSVERSIONINFOA) == 148);
    if (!::GetVersionExA(&w)) return false;
    v.dwMajorVersion = w.dwMajorVersion;
    v.dwMinorVersion = w.dwMinorVersion;
    v.dwBuildNumber = w.dwBuildNumber;
    v.dwPlatformId = w.dwPlatformId;
    std::memcpy(v.szCSDVersion, w.szCSDVersion, sizeof v.szCSDVersion);
    return true;
}

int IsNTAdmin(int riservato, void* riservato2) {
    // advpack.dll is there on every Windows the installer runs on, but it is
    // asked for by name, as the installer always has: without it, or
    // without the function, the answer is no.
    using Funzione = BOOL(WINAPI*)(DWORD, LPDWORD);
    HMODULE advpack = LoadLibraryW(L"advpack.dll");
    if (!advpack) return 0;
    auto f = reinterpret_cast<Funzione>(reinterpret_cast<void*>(GetProcAddress(advpack, "IsNTAdmin")));
    int risposta = f ? (f(static_cast<DWORD>(riservato), static_cast<LPDWORD>(riservato2)) ? 1 : 0) : 0;
    FreeLibrary(advpack);
    return risposta;
}

std::string CartellaSpecialeSistema(int csidl) {
    LPITEMIDLIST lista = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, csidl, &lista) != S_OK || !lista) return "";
    // 512 characters as the installer has always given it; the path is cut
    // at its NUL, and a folder without a file-system path has none.
    char buf[512];
    std::memset(buf, ' ', sizeof buf);
    bool percorso = SHGetPathFromIDListA(lista, buf);
    CoTaskMemFree(lista);
    if (!percorso || !std::memchr(buf, '\0', sizeof buf)) return "";
    return win32::DaAnsi(buf);
}

}  // namespace noce::sistema
