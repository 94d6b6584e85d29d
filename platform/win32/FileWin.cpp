#include "FileWin.h"

#include <atomic>
#include <string>

#include "ErroriWin.h"

namespace noce::win32 {

namespace {

bool Cartella(const std::wstring& p) {
    DWORD a = GetFileAttributesW(p.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// What a rename meets while someone holds the file it replaces; Windows
// before the POSIX rename semantics, and Wine, refuse it until they close.
bool Momentaneo(DWORD e) { return e == ERROR_ACCESS_DENIED || e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION; }

std::wstring NomeTemporaneo(const std::wstring& destinazione) {
    static std::atomic<unsigned> contatore{0};
    return destinazione + L".noce-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(contatore++) +
           L".tmp";
}

}  // namespace

Maniglia ApriInLettura(const std::wstring& p) {
    Maniglia h(CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.Valida()) {
        DWORD e = GetLastError();
        if (Cartella(p)) throw ErroreDi(err::ErroreAccesso);
        throw ErroreDaWin32(e);
    }
    return h;
}

std::string LeggiTuttoWin(const std::wstring& p) {
    Maniglia h = ApriInLettura(p);
    std::string dati;
    LARGE_INTEGER dimensione;
    if (GetFileSizeEx(h.get(), &dimensione) && dimensione.QuadPart > 0)
        dati.reserve(static_cast<std::size_t>(dimensione.QuadPart));
    char buf[65536];
    for (;;) {
        DWORD letti = 0;
        if (!ReadFile(h.get(), buf, sizeof buf, &letti, nullptr)) throw UltimoErrore();
        if (letti == 0) break;
        dati.append(buf, letti);
    }
    return dati;
}

void ScriviTuttoWin(HANDLE h, const char* dati, std::size_t n) {
    while (n > 0) {
        DWORD parte = n > 0x10000000 ? 0x10000000 : static_cast<DWORD>(n), scritti = 0;
        if (!WriteFile(h, dati, parte, &scritti, nullptr)) throw UltimoErrore();
        dati += scritti;
        n -= scritti;
    }
}

void SostituisciConNome(const std::wstring& destinazione, const std::function<void(const std::wstring&)>& crea) {
    // A folder of that name would make every attempt fail in the same way.
    if (Cartella(destinazione)) throw ErroreDi(err::AutorizzazioneNegata);
    std::wstring tmp = NomeTemporaneo(destinazione);
    try {
        crea(tmp);
    } catch (...) {
        DeleteFileW(tmp.c_str());
        throw;
    }
    // Visible before it takes the name: the renamed file keeps the
    // temporary file's attributes.
    SetFileAttributesW(tmp.c_str(), FILE_ATTRIBUTE_NORMAL);
    DWORD inizio = GetTickCount();
    while (!MoveFileExW(tmp.c_str(), destinazione.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD e = GetLastError();
        if (!Momentaneo(e) || GetTickCount() - inizio >= AttesaSostituzioneMs) {
            DeleteFileW(tmp.c_str());
            throw ErroreDaWin32(e);
        }
        Sleep(10);
    }
}

void SostituisciFileWin(const std::wstring& destinazione, const std::function<void(HANDLE)>& scrivi) {
    SostituisciConNome(destinazione, [&](const std::wstring& tmp) {
        Maniglia h(CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (!h.Valida()) throw UltimoErrore(true);
        scrivi(h.get());
        if (!FlushFileBuffers(h.get())) throw UltimoErrore();
    });
}

}  // namespace noce::win32
