// The product's shortcut made by the shell's link object, read back by
// lnkinfo, a reader that shares nothing with Windows.
#include <gtest/gtest.h>

#include "AiutiWin.h"
#include "platform/ShellLink.h"

#include <windows.h>

namespace noce::prova {

namespace {

// lnkinfo's view of a link: "Local path" and "Working directory" lines.
std::string Campo(const std::string& uscita, const std::string& nome) {
    auto i = uscita.find(nome);
    if (i == std::string::npos) return "";
    auto inizio = uscita.find_first_not_of(" \t:", i + nome.size());
    return uscita.substr(inizio, uscita.find('\n', inizio) - inizio);
}

// Where Wine keeps a Windows path on the Linux side; empty off Wine.
std::string PercorsoUnix(const std::wstring& p) {
    using Unix = char*(CDECL*)(const wchar_t*);
    auto unix = reinterpret_cast<Unix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* u = unix ? unix(p.c_str()) : nullptr;
    if (!u) return "";
    std::string s = u;
    HeapFree(GetProcessHeap(), 0, u);
    return s;
}

// lnkinfo is a Linux program. Wine starts it, but gives it neither our
// handles nor a handle to wait on, so it writes into a file and renames it
// when done. False where that cannot be done.
bool Lnkinfo(const CartellaTemporanea& t, const std::string& link, std::string& uscita) {
    std::string l = PercorsoUnix(t.W(link)), fuori = PercorsoUnix(t.W("lnkinfo.txt"));
    if (l.empty() || fuori.empty()) return false;
    std::string comando = "lnkinfo '" + l + "' >'" + fuori + ".tmp' 2>&1; mv '" + fuori + ".tmp' '" + fuori + "'";
    std::wstring riga = L"Z:\\bin\\sh -c \"" + std::wstring(comando.begin(), comando.end()) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, riga.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    for (int i = 0; i < 200 && GetFileAttributesW(t.W("lnkinfo.txt").c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
    uscita = LeggiFile(t.W("lnkinfo.txt"));
    DeleteFileW(t.W("lnkinfo.txt").c_str());
    return uscita.find("Windows Shortcut information") != std::string::npos;
}

}  // namespace

TEST(Collegamento, TheShortcutStartsItsTargetFromItsFolder) {
    struct Caso {
        const char* nome;
        std::string destinazione, argomenti, unita;
        std::string percorso, cartella;
    };
    // As CreaLink passes them: texts NUL-ended, the target's drive apart.
    const Caso casi[] = {
        {"the product", std::string("c:\\noce\\noce.exe\0", 17), std::string(1, '\0'), "c:", "c:\\noce\\noce.exe",
         "c:\\noce"},
        {"a target without its drive", "\\noce\\noce.exe", "", std::string("c:\0", 3), "c:\\noce\\noce.exe", "c:\\noce"},
        {"in the root, with arguments", "c:\\avvio.exe", "-a \"b c\"", "c:", "c:\\avvio.exe", "c:\\"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        CartellaTemporanea t;
        ASSERT_EQ(fCreateShellLink(t() + '\0', "NOCE", c.destinazione, c.argomenti, -1, c.unita), 1);
        std::string uscita;
        if (!Lnkinfo(t, "NOCE.lnk", uscita)) GTEST_SKIP() << "lnkinfo, a Linux program, runs only under Wine " << uscita;
        EXPECT_EQ(Campo(uscita, "Local path"), c.percorso) << uscita;
        EXPECT_EQ(Campo(uscita, "Working directory"), c.cartella) << uscita;
        EXPECT_EQ(Campo(uscita, "Command line arguments"), c.argomenti.substr(0, c.argomenti.find('\0'))) << uscita;
    }
}

TEST(Collegamento, RefusesWhatItMustNotWriteAndKeepsWhatIsThere) {
    CartellaTemporanea t;
    ASSERT_EQ(fCreateShellLink(t(), "NOCE", "c:\\noce\\noce.exe", "", -1, "c:"), 1);
    const std::string primo = LeggiFile(t.W("NOCE.lnk"));
    struct Caso {
        const char* nome;
        std::string cartella, nome_link, destinazione;
        long flag;
    };
    const Caso casi[] = {
        {"flag zero over an existing link", t(), "NOCE", "c:\\altro.exe", 0},
        {"a name Windows cannot hold", t(), "NO:CE", "c:\\noce\\noce.exe", -1},
        {"a relative target", t(), "Relativo", "noce\\noce.exe", -1},
        {"a folder that is not there", t("manca"), "NOCE", "c:\\noce\\noce.exe", -1},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        EXPECT_EQ(fCreateShellLink(c.cartella, c.nome_link, c.destinazione, "", c.flag, "c:"), 0);
    }
    EXPECT_TRUE(LeggiFile(t.W("NOCE.lnk")) == primo);
    EXPECT_EQ(sistema::ElencoFile(t()), std::vector<std::string>{"NOCE.lnk"}) << "no temporary file is left";
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileW(t.W("*.tmp").c_str(), &d);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE) << "a hidden temporary file is left";
    if (h != INVALID_HANDLE_VALUE) FindClose(h);

    // Replaced with the flag set.
    ASSERT_EQ(fCreateShellLink(t(), "NOCE", "c:\\altro.exe", "", -1, "c:"), 1);
    EXPECT_FALSE(LeggiFile(t.W("NOCE.lnk")) == primo);
}

}  // namespace noce::prova
