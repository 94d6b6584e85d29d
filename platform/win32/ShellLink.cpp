// fCreateShellLink on the shell's own link object: IShellLinkW fills the
// link, IPersistFile writes it, beside the final name; it is renamed into
// place like every file the installer replaces.
#include "../ShellLink.h"

#include "../Errori.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <exception>

#include "FileWin.h"
#include "Unicode.h"

namespace noce {

namespace {

std::string FinoAlNul(const std::string& s) { return s.substr(0, s.find('\0')); }

bool NomeValido(const std::string& nome) {
    if (nome.empty() || nome == "." || nome == ".." || nome.back() == ' ' || nome.back() == '.') return false;
    for (unsigned char c : nome)
        if (c < 0x20 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos) return false;
    return true;
}

bool DriveLocale(const std::string& p) {
    return p.size() >= 3 && ((p[0] >= 'a' && p[0] <= 'z') || (p[0] >= 'A' && p[0] <= 'Z')) && p[1] == ':' &&
           p[2] == '\\';
}

template <typename T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p) p->Release();
    }
};

// The link, saved to `file`; false on any refusal of the shell.
bool SalvaLink(const std::wstring& file, const std::string& destinazione, const std::string& argomenti) {
    std::string cartella = destinazione.substr(0, destinazione.rfind('\\'));
    if (cartella.size() == 2) cartella += '\\';  // "c:" + "\": the root itself
    Com<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link.p))))
        return false;
    if (FAILED(link.p->SetPath(win32::Larga(destinazione).c_str())) ||
        FAILED(link.p->SetArguments(win32::Larga(argomenti).c_str())) ||
        FAILED(link.p->SetWorkingDirectory(win32::Larga(cartella).c_str())) ||
        FAILED(link.p->SetShowCmd(SW_SHOWNORMAL)))
        return false;
    Com<IPersistFile> persist;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist.p)))) return false;
    return SUCCEEDED(persist.p->Save(file.c_str(), FALSE));
}

}  // namespace

long fCreateShellLink(const std::string& cartella, const std::string& nome, const std::string& destinazione,
                      const std::string& argomenti, long flag, const std::string& unita) {
    // The shell's objects need COM on this thread; whoever initialised it
    // first keeps it.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    long esito = 0;
    try {
        std::string c = FinoAlNul(cartella), n = FinoAlNul(nome), d = FinoAlNul(destinazione),
                    a = FinoAlNul(argomenti), u = FinoAlNul(unita);
        if (!d.empty() && d[0] == '\\' && (d.size() < 2 || d[1] != '\\') && u.size() == 2 && u[1] == ':') d = u + d;
        if (!c.empty() && NomeValido(n) && DriveLocale(d) && d.size() < MAX_PATH && a.size() <= 0xFFFF) {
            std::wstring file = win32::Larga(c + (c.back() == '\\' ? "" : "\\") + n + ".lnk");
            if (flag != 0 || GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
                win32::SostituisciConNome(file, [&](const std::wstring& tmp) {
                    if (!SalvaLink(tmp, d, a)) throw ErroreDi(err::ErroreAccesso);
                });
                esito = 1;
            }
        }
    } catch (const std::exception&) {
        esito = 0;
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return esito;
}

}  // namespace noce
