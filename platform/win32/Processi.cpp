// Processes on Windows: the command line goes to CreateProcessA as it is,
// and Windows itself finds the program, adds ".exe" and runs a batch file
// through its command interpreter.
#include "../Sistema.h"

#include <windows.h>

#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "Unicode.h"

namespace noce::sistema {

namespace {

// The processes started and not yet waited for, by identifier: the
// identifier is all the caller keeps, the handle stays here until the wait.
std::mutex mutexProcessi;
std::map<DWORD, HANDLE> processi;

// STARTUPINFO is all zeros but its size (68) unless a window style is
// asked for.
bool Avvia(const std::string& riga, const StileFinestra* stile, PROCESS_INFORMATION& pi) {
    STARTUPINFOA si;
    std::memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    static_assert(sizeof(STARTUPINFOA) == 68);
    if (stile) {
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = static_cast<WORD>(*stile);
    }
    std::string ansi = win32::InAnsi(riga);
    std::vector<char> modificabile(ansi.begin(), ansi.end());
    modificabile.push_back('\0');
    return CreateProcessA(nullptr, modificabile.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr,
                          nullptr, &si, &pi);
}

}  // namespace

std::int64_t AvviaProgramma(const std::string& riga, StileFinestra stile) {
    PROCESS_INFORMATION pi{};
    if (!Avvia(riga, &stile, pi)) throw ErroreDi(err::FileNonTrovato);
    CloseHandle(pi.hThread);
    std::lock_guard<std::mutex> l(mutexProcessi);
    processi[pi.dwProcessId] = pi.hProcess;
    return pi.dwProcessId;
}

void AttendiProgramma(std::int64_t processo) {
    HANDLE h = nullptr;
    {
        std::lock_guard<std::mutex> l(mutexProcessi);
        auto i = processi.find(static_cast<DWORD>(processo));
        if (i == processi.end()) return;
        h = i->second;
        processi.erase(i);
    }
    WaitForSingleObject(h, INFINITE);
    CloseHandle(h);
}

bool AvviaEAttendi(const std::string& riga) {
    PROCESS_INFORMATION pi{};
    if (!Avvia(riga, nullptr, pi)) return false;
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return true;
}

}  // namespace noce::sistema
