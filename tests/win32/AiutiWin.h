#pragma once
// What the Windows tests share: a temporary folder of their own, files read
// as bytes, environment variables set for one test, and programs run with
// their output caught.
#include "platform/Sistema.h"
#include "support/FileDiProva.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace noce::prova {

// A fresh folder under the system's temporary folder, removed with all it
// holds when the test ends. Its path is a Windows path in UTF-8.
class CartellaTemporanea {
public:
    CartellaTemporanea() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        static int n = 0;
        percorso_ = std::filesystem::path(base) /
                    (L"noce-prova-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n++));
        std::filesystem::create_directories(percorso_);
    }
    ~CartellaTemporanea() {
        std::error_code e;
        // Attributes first: a read-only or system file would stay behind.
        for (auto& f : std::filesystem::recursive_directory_iterator(percorso_, e))
            SetFileAttributesW(f.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(percorso_, e);
    }
    // The folder, or a name inside it ("a\b.txt").
    std::string operator()(const std::string& nome = "") const {
        auto u = percorso_.u8string();
        std::string p(u.begin(), u.end());
        return nome.empty() ? p : p + "\\" + nome;
    }
    std::wstring W(const std::string& nome = "") const {
        return nome.empty() ? percorso_.wstring() : (percorso_ / std::filesystem::u8path(nome)).wstring();
    }

private:
    std::filesystem::path percorso_;
};

inline void ScriviByte(const std::wstring& percorso, const std::string& dati) {
    std::ofstream(std::filesystem::path(percorso), std::ios::binary) << dati;
}

// An environment variable for the time of one test (the C runtime's copy
// and the process's, which child processes inherit).
class Variabile {
public:
    Variabile(std::string nome, const std::string& valore) : nome_(std::move(nome)) {
        if (const char* v = std::getenv(nome_.c_str())) prima_ = v, impostata_ = true;
        _putenv_s(nome_.c_str(), valore.c_str());
    }
    ~Variabile() { _putenv_s(nome_.c_str(), impostata_ ? prima_.c_str() : ""); }
    Variabile(const Variabile&) = delete;
    Variabile& operator=(const Variabile&) = delete;

private:
    std::string nome_, prima_;
    bool impostata_ = false;
};

// Runs a command line and returns what it wrote on its standard output;
// false when it could not start or ran longer than `ms`.
inline bool Uscita(std::wstring riga, std::string& uscita, DWORD ms = 30000) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE leggi, scrivi;
    if (!CreatePipe(&leggi, &scrivi, &sa, 0)) return false;
    SetHandleInformation(leggi, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = scrivi;
    si.hStdError = scrivi;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    BOOL ok = CreateProcessW(nullptr, riga.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(scrivi);
    if (!ok) {
        CloseHandle(leggi);
        return false;
    }
    char buf[4096];
    DWORD n;
    while (ReadFile(leggi, buf, sizeof buf, &n, nullptr) && n > 0) uscita.append(buf, n);
    CloseHandle(leggi);
    bool finito = WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return finito;
}

}  // namespace noce::prova
