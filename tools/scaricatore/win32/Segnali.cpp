// On Windows a Ctrl+C, a closed console or a crash end the process; each
// writes "2" first, so the installer never waits on a marker left at "0".
#include "../Segnali.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <exception>
#include <mutex>

#include "platform/win32/FileWin.h"
#include "platform/win32/Unicode.h"

namespace scaricatore::segnali {

namespace {

std::mutex m_;
std::wstring marcatore_, parziale_;
std::atomic<bool> esitoScritto_{false};

void ScriviFallimento() {
    std::lock_guard<std::mutex> l(m_);
    if (!parziale_.empty()) DeleteFileW(parziale_.c_str());
    if (esitoScritto_.exchange(true) || marcatore_.empty()) return;
    try {
        noce::win32::SostituisciFileWin(marcatore_, [](HANDLE h) { noce::win32::ScriviTuttoWin(h, "2\r\n", 3); });
    } catch (...) {
    }
}

// Runs on a thread of its own; the process ends when it returns FALSE.
BOOL WINAPI AllaConsole(DWORD) {
    ScriviFallimento();
    return FALSE;
}

LONG WINAPI AlCrash(EXCEPTION_POINTERS*) {
    ScriviFallimento();
    return EXCEPTION_CONTINUE_SEARCH;
}

void AlTerminate() {
    ScriviFallimento();
    std::_Exit(3);
}

}  // namespace

void Installa(const std::string& marcatore) {
    {
        std::lock_guard<std::mutex> l(m_);
        marcatore_ = noce::win32::Larga(marcatore);
    }
    SetConsoleCtrlHandler(AllaConsole, TRUE);
    SetUnhandledExceptionFilter(AlCrash);
    std::set_terminate(AlTerminate);
}

void RicordaParziale(const std::string& parziale) {
    std::lock_guard<std::mutex> l(m_);
    parziale_ = noce::win32::Larga(parziale);
}

void DimenticaParziale() {
    std::lock_guard<std::mutex> l(m_);
    parziale_.clear();
}

void EsitoScritto() { esitoScritto_ = true; }

}  // namespace scaricatore::segnali
