#include "../FileParziale.h"

#include <windows.h>

#include <stdexcept>

#include "platform/win32/ErroriWin.h"
#include "platform/win32/FileWin.h"
#include "platform/win32/Unicode.h"

namespace scaricatore {

namespace {

using noce::win32::Larga;

HANDLE H(std::intptr_t m) { return reinterpret_cast<HANDLE>(m); }

[[noreturn]] void Errore(const std::string& cosa) {
    DWORD e = GetLastError();
    std::string testo = noce::win32::TestoDiSistema(e);
    throw std::runtime_error(cosa + ": " + (testo.empty() ? "errore " + std::to_string(e) : testo));
}

}  // namespace

FileParziale::FileParziale(std::string destinazione) : destinazione_(std::move(destinazione)) {
    auto barra = destinazione_.find_last_of("\\/");
    std::string cartella = barra == std::string::npos ? "." : destinazione_.substr(0, barra);
    // A short name: the target's own may already be close to the limit.
    // CREATE_NEW never opens what is there, a link included.
    for (int n = 0;; ++n) {
        temporaneo_ = cartella + "\\.scarico-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(n) + ".tmp";
        HANDLE h = CreateFileW(Larga(temporaneo_).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                               CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            maniglia_ = reinterpret_cast<std::intptr_t>(h);
            break;
        }
        if (GetLastError() != ERROR_FILE_EXISTS || n > 100) Errore("impossibile creare " + temporaneo_);
    }
}

FileParziale::~FileParziale() {
    if (H(maniglia_) != INVALID_HANDLE_VALUE) CloseHandle(H(maniglia_));
    if (!consegnato_) DeleteFileW(Larga(temporaneo_).c_str());
}

void FileParziale::Scrivi(const char* dati, std::size_t n) {
    try {
        noce::win32::ScriviTuttoWin(H(maniglia_), dati, n);
    } catch (const std::exception& e) {
        throw std::runtime_error("scrittura di " + temporaneo_ + ": " + e.what());
    }
    dimensione_ += n;
}

void FileParziale::Svuota() {
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(H(maniglia_), zero, nullptr, FILE_BEGIN) || !SetEndOfFile(H(maniglia_)))
        Errore("svuotamento di " + temporaneo_);
    dimensione_ = 0;
}

void FileParziale::Consegna() {
    if (!FlushFileBuffers(H(maniglia_))) Errore("scrittura su disco di " + temporaneo_);
    HANDLE h = H(maniglia_);
    maniglia_ = -1;
    if (!CloseHandle(h)) Errore("chiusura di " + temporaneo_);
    // The platform's replace: made visible, renamed over the target, with
    // the retries a reader holding the target needs.
    std::wstring mio = Larga(temporaneo_);
    try {
        noce::win32::SostituisciConNome(Larga(destinazione_), [&](const std::wstring& suo) {
            if (!MoveFileExW(mio.c_str(), suo.c_str(), 0)) throw noce::win32::UltimoErrore();
        });
    } catch (const std::exception& e) {
        throw std::runtime_error("impossibile sostituire " + destinazione_ + ": " + e.what());
    }
    consegnato_ = true;
}

}  // namespace scaricatore
