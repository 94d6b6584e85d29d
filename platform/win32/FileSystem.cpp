// The file services of Sistema.h on Windows. Attributes mean what they say:
// a hidden or system file is not a file to the installer, and no listing
// shows one.
#include "../Sistema.h"

#include <windows.h>

#include <algorithm>

#include "../Cp1252.h"
#include "ErroriWin.h"
#include "FileWin.h"
#include "Unicode.h"

namespace noce::sistema {

using win32::ErroreDaWin32;
using win32::Larga;
using win32::Maniglia;
using win32::UltimoErrore;

namespace {

DWORD Attributi(const std::string& p) { return GetFileAttributesW(Larga(p).c_str()); }

bool ECartella(DWORD a) { return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY); }

std::wstring GenitoreDi(const std::wstring& p) {
    auto pos = p.find_last_of(L"\\/");
    if (pos == std::wstring::npos) return L".";
    return p.substr(0, pos == 0 || (pos == 2 && p[1] == L':') ? pos + 1 : pos);
}

// The folder a file goes into must exist as a folder, or the runtime
// reports a path it cannot find.
void VerificaGenitore(const std::wstring& p) {
    DWORD a = GetFileAttributesW(GenitoreDi(p).c_str());
    if (!ECartella(a)) throw ErroreDi(err::PercorsoNonTrovato);
}

bool PrimaMinore(const std::wstring& a, const std::wstring& b) {
    int c = CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE);
    return c != CSTR_EQUAL ? c == CSTR_LESS_THAN : a < b;
}

// Open For Output or For Append, one Print, Close. A hidden file is opened
// as it is (CREATE_ALWAYS would refuse it) and emptied for Output.
void ScriviTestoCon(const std::string& p, const std::string& testo, bool accoda) {
    std::wstring w = Larga(p);
    VerificaGenitore(w);
    Maniglia h(CreateFileW(w.c_str(), accoda ? FILE_APPEND_DATA : GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.Valida()) throw UltimoErrore();
    if (!accoda && !SetEndOfFile(h.get())) throw UltimoErrore();
    std::string byte = Utf8ACp1252(testo);
    // One write per record: FILE_APPEND_DATA puts it whole at the end, so
    // two writers appending to one log never split a record.
    win32::ScriviTuttoWin(h.get(), byte.data(), byte.size());
    h.Chiudi();
}

}  // namespace

bool EsisteCartella(const std::string& p) { return Attributi(p) != INVALID_FILE_ATTRIBUTES; }

bool EsisteFile(const std::string& p) {
    DWORD a = Attributi(p);
    return a != INVALID_FILE_ATTRIBUTES &&
           !(a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE));
}

void CreaCartella(const std::string& p) {
    if (!CreateDirectoryW(Larga(p).c_str(), nullptr)) {
        DWORD e = GetLastError();
        // An existing entry of that name is an access error.
        if (e == ERROR_ALREADY_EXISTS || e == ERROR_FILE_EXISTS) throw ErroreDi(err::ErroreAccesso);
        throw ErroreDaWin32(e, true);
    }
}

void RimuoviCartella(const std::string& p) {
    if (!RemoveDirectoryW(Larga(p).c_str())) {
        DWORD e = GetLastError();
        if (e == ERROR_DIR_NOT_EMPTY) throw ErroreDi(err::ErroreAccesso);
        throw ErroreDaWin32(e, true);
    }
}

void CopiaFile(const std::string& da, const std::string& a) {
    std::wstring wd = Larga(da), wa = Larga(a);
    DWORD attr = GetFileAttributesW(wd.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES) throw UltimoErrore();
    if (attr & FILE_ATTRIBUTE_DIRECTORY) throw ErroreDi(err::FileNonTrovato);
    VerificaGenitore(wa);
    if (ECartella(GetFileAttributesW(wa.c_str()))) throw ErroreDi(err::ErroreAccesso);
    Maniglia sorgente = win32::ApriInLettura(wd);
    win32::SostituisciFileWin(wa, [&](HANDLE h) {
        char buf[65536];
        for (;;) {
            DWORD letti = 0;
            if (!ReadFile(sorgente.get(), buf, sizeof buf, &letti, nullptr)) throw UltimoErrore();
            if (letti == 0) break;
            win32::ScriviTuttoWin(h, buf, letti);
        }
    });
}

// Each copy is flushed before its rename.
void AvviaSalvataggioCopie() {}

void EliminaFile(const std::string& p) {
    std::wstring w = Larga(p);
    DWORD a = GetFileAttributesW(w.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) throw UltimoErrore();
    if (a & FILE_ATTRIBUTE_DIRECTORY) throw ErroreDi(err::FileNonTrovato);
    if (!DeleteFileW(w.c_str())) throw UltimoErrore();
}

std::vector<VoceCartella> VociCartella(const std::string& cartella) {
    std::wstring c = Larga(cartella);
    if (!c.empty() && c.back() != L'\\' && c.back() != L'/') c += L'\\';
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileExW((c + L"*").c_str(), FindExInfoBasic, &d, FindExSearchNameMatch, nullptr, 0);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD e = GetLastError();
        if (e == ERROR_FILE_NOT_FOUND && ECartella(GetFileAttributesW(c.c_str()))) return {};
        throw ErroreDaWin32(e, true);
    }
    std::vector<std::pair<std::wstring, DWORD>> trovate;
    do {
        std::wstring n = d.cFileName;
        if (n != L"." && n != L"..") trovate.emplace_back(n, d.dwFileAttributes);
    } while (FindNextFileW(h, &d));
    FindClose(h);
    std::sort(trovate.begin(), trovate.end(), [](const auto& a, const auto& b) { return PrimaMinore(a.first, b.first); });
    std::vector<VoceCartella> voci;
    for (const auto& [n, a] : trovate) {
        // A junction or a link to a folder elsewhere is not a folder of this one.
        TipoVoce tipo = !(a & FILE_ATTRIBUTE_DIRECTORY)     ? TipoVoce::File
                        : (a & FILE_ATTRIBUTE_REPARSE_POINT) ? TipoVoce::Altro
                                                             : TipoVoce::Cartella;
        voci.push_back({win32::DaLarga(n), tipo, (a & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0});
    }
    return voci;
}

std::string LeggiTesto(const std::string& p) { return Cp1252AUtf8(win32::LeggiTuttoWin(Larga(p))); }

void ScriviTesto(const std::string& p, const std::string& testo) { ScriviTestoCon(p, testo, false); }

void AccodaTesto(const std::string& p, const std::string& testo) { ScriviTestoCon(p, testo, true); }

void SalvaBytes(const std::string& p, const std::string& bytes) {
    std::wstring w = Larga(p);
    VerificaGenitore(w);
    win32::SostituisciFileWin(w, [&](HANDLE h) { win32::ScriviTuttoWin(h, bytes.data(), bytes.size()); });
}

void SalvaAPezzi(const std::string& p, const std::function<std::size_t(char*, std::size_t)>& pezzo) {
    std::wstring w = Larga(p);
    VerificaGenitore(w);
    win32::SostituisciFileWin(w, [&](HANDLE h) {
        std::vector<char> buf(65536);
        while (std::size_t n = pezzo(buf.data(), buf.size())) win32::ScriviTuttoWin(h, buf.data(), n);
    });
}

}  // namespace noce::sistema
