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

// Handles of programs that have ended are let go at the next start, so the
// map holds only what may still be asked about.
void LasciaFiniti() {
    for (auto i = processi.begin(); i != processi.end();) {
        if (WaitForSingleObject(i->second, 0) == WAIT_OBJECT_0) {
            CloseHandle(i->second);
            i = processi.erase(i);
        } else {
            ++i;
        }
    }
}

}  // namespace

std::int64_t AvviaProgramma(const std::string& riga, StileFinestra stile) {
    PROCESS_INFORMATION pi{};
    if (!Avvia(riga, &stile, pi)) throw ErroreDi(err::FileNonTrovato);
    CloseHandle(pi.hThread);
    std::lock_guard<std::mutex> l(mutexProcessi);
    LasciaFiniti();
    processi[pi.dwProcessId] = pi.hProcess;
    return pi.dwProcessId;
}

bool AttendiProgramma(std::int64_t processo, std::uint32_t ms) {
    HANDLE h = nullptr;
    {
        std::lock_guard<std::mutex> l(mutexProcessi);
        auto i = processi.find(static_cast<DWORD>(processo));
        if (i == processi.end()) return true;
        h = i->second;
    }
    // The handle stays in the map while the wait runs: only the thread that
    // sees the end lets it go.
    if (WaitForSingleObject(h, ms == SenzaLimite ? INFINITE : ms) != WAIT_OBJECT_0) return false;
    std::lock_guard<std::mutex> l(mutexProcessi);
    auto i = processi.find(static_cast<DWORD>(processo));
    if (i != processi.end() && i->second == h) {
        CloseHandle(h);
        processi.erase(i);
    }
    return true;
}

bool ProgrammaTerminato(std::int64_t processo) { return AttendiProgramma(processo, 0); }

bool AvviaEAttendi(const std::string& riga) {
    PROCESS_INFORMATION pi{};
    if (!Avvia(riga, nullptr, pi)) return false;
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return true;
}

}  // namespace noce::sistema
