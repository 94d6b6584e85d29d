#include "../Sistema.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "platform/Errori.h"
#include "platform/win32/ErroriWin.h"
#include "platform/win32/FileWin.h"
#include "platform/win32/Unicode.h"

namespace estrattore {

namespace {

using noce::win32::Larga;
using noce::win32::Maniglia;

ErroreFile ErroreScrittura(const std::string& percorso, const noce::ErroreRuntime& e) {
    return ErroreFile("scrittura di " + percorso + ": " + e.Descrizione(), e.Numero() == noce::err::DiscoPieno);
}

// Marked for deletion while it is written: if the process is killed, even
// by TerminateProcess, the system removes the file when it closes the
// handle. The mark is taken off only once the file is complete.
void DaCancellare(HANDLE h, bool si) {
    FILE_DISPOSITION_INFO d{};
    d.DeleteFile = si ? TRUE : FALSE;
    if (!SetFileInformationByHandle(h, FileDispositionInfo, &d, sizeof d)) throw noce::win32::UltimoErrore();
}

// Wine 8 does not always honour the mark, so a file given up also goes by
// name.
void Elimina(Maniglia& h, const std::wstring& tmp) {
    h.Chiudi();
    DeleteFileW(tmp.c_str());
}

// Unix seconds as Windows counts time: 100 ns since 1601.
LONGLONG DaUnix(std::int64_t secondi) { return (secondi + 11644473600LL) * 10000000LL; }

// Renames the open file over `finale`, replacing what is there.
bool Rinomina(HANDLE h, const std::wstring& finale) {
    std::vector<char> b(sizeof(FILE_RENAME_INFO) + finale.size() * sizeof(wchar_t));
    auto* r = reinterpret_cast<FILE_RENAME_INFO*>(b.data());
    r->ReplaceIfExists = TRUE;
    r->FileNameLength = static_cast<DWORD>(finale.size() * sizeof(wchar_t));
    finale.copy(r->FileName, finale.size());
    r->FileName[finale.size()] = L'\0';
    return SetFileInformationByHandle(h, FileRenameInfo, r, static_cast<DWORD>(b.size()));
}

bool Cerca(const char* m, const char* n) {
    for (;; ++m, ++n) {
        if (*m == '*') {
            for (const char* k = n;; ++k) {
                if (Cerca(m + 1, k)) return true;
                if (!*k) return false;
            }
        }
        if (!*n) return !*m;
        if (*m == '[') {
            const char* c = m + 1;
            bool nega = *c == '!' || *c == '^', dentro = false;
            if (nega) ++c;
            for (bool primo = true; *c && (primo || *c != ']'); primo = false, ++c) {
                if (c[1] == '-' && c[2] && c[2] != ']') {
                    dentro |= *n >= *c && *n <= c[2];
                    c += 2;
                } else {
                    dentro |= *n == *c;
                }
            }
            if (!*c) return false;  // an open bracket matches nothing
            if (dentro == nega) return false;
            m = c;
            continue;
        }
        if (*m != '?' && *m != *n) return false;
    }
}

}  // namespace

void CreaFile(const std::string& cartella, const std::string& finale, const DatiFile& dati,
              const std::function<void(const Scrivi&)>& produci) {
    static unsigned contatore = 0;
    // Everything through the one handle: under Wine each call by name costs
    // a round trip to its server, and thousands of files make that the
    // whole price of an extraction.
    Maniglia h;
    std::wstring tmp;
    for (;;) {
        const std::string nome = ".unzip-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(contatore++);
        tmp = Larga(Dentro(cartella, nome));
        // CREATE_NEW fails on anything already there, a link included.
        h = Maniglia(CreateFileW(tmp.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN,
                                 nullptr));
        if (h.Valida()) break;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            throw ErroreScrittura(cartella, noce::win32::UltimoErrore(true));
    }
    try {
        DaCancellare(h.get(), true);
        produci([&](const char* p, std::size_t n) { noce::win32::ScriviTuttoWin(h.get(), p, n); });
        // Visible, and dated, before it takes the name.
        FILE_BASIC_INFO base{};
        base.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        if (dati.data >= 0) base.LastWriteTime.QuadPart = base.LastAccessTime.QuadPart = DaUnix(dati.data);
        if (!SetFileInformationByHandle(h.get(), FileBasicInfo, &base, sizeof base)) throw noce::win32::UltimoErrore();
        DaCancellare(h.get(), false);
        if (!Rinomina(h.get(), Larga(finale))) throw noce::win32::UltimoErrore();
    } catch (const noce::ErroreRuntime& e) {
        Elimina(h, tmp);
        throw ErroreScrittura(finale, e);
    } catch (...) {
        Elimina(h, tmp);
        throw;
    }
}

std::string Dentro(const std::string& cartella, const std::string& nome) { return cartella + "\\" + nome; }

Tipo TipoDi(const std::string& host) {
    DWORD a = GetFileAttributesW(Larga(host).c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return Tipo::Nessuno;
    if (a & FILE_ATTRIBUTE_REPARSE_POINT) return Tipo::Altro;
    return a & FILE_ATTRIBUTE_DIRECTORY ? Tipo::Cartella : Tipo::File;
}

std::optional<Spazio> SpazioLibero(const std::string& percorso) {
    std::wstring p = Larga(percorso);
    ULARGE_INTEGER liberi{};
    while (!GetDiskFreeSpaceExW(p.c_str(), &liberi, nullptr, nullptr)) {
        auto barra = p.find_last_of(L"\\/");
        if (barra == std::wstring::npos || barra == 0) return std::nullopt;
        p.resize(barra);
    }
    Spazio s{liberi.QuadPart, 4096};
    wchar_t volume[MAX_PATH + 1];
    DWORD settori = 0, byte = 0, liberiC = 0, totali = 0;
    if (GetVolumePathNameW(p.c_str(), volume, MAX_PATH + 1) &&
        GetDiskFreeSpaceW(volume, &settori, &byte, &liberiC, &totali) && settori * byte > 0)
        s.blocco = static_cast<std::uint64_t>(settori) * byte;
    return s;
}

std::string TrovaArchivio(const std::string& windows) {
    for (const std::string& nome : {windows, windows + ".zip"}) {
        DWORD a = GetFileAttributesW(Larga(nome).c_str());
        if (a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY)) return nome;
    }
    return {};
}

zip_source_t* ApriSorgente(const std::string& host, zip_error_t* errore) {
    return zip_source_win32w_create(Larga(host).c_str(), 0, -1, errore);
}

bool Corrisponde(const std::string& modello, const std::string& nome) {
    std::string normale = nome;
    for (char& c : normale)
        if (c == '\\') c = '/';
    return Cerca(modello.c_str(), normale.c_str());
}

std::vector<std::string> Argomenti(int, char**) {
    int n = 0;
    wchar_t** w = CommandLineToArgvW(GetCommandLineW(), &n);
    std::vector<std::string> a;
    for (int i = 0; w && i < n; ++i) a.push_back(noce::win32::DaLarga(w[i]));
    LocalFree(w);
    return a;
}

}  // namespace estrattore
