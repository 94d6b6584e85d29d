// The machine as the installer sees it on Windows: the special folders, the
// version line and the rights, each checked against what the system says
// through another door.
#include <gtest/gtest.h>

#include "platform/Sistema.h"
#include "platform/mdlSystemInfo.h"

#include <windows.h>

namespace noce::prova {

namespace {

std::string Ambiente(const char* nome) {
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA(nome, buf, sizeof buf);
    return n && n < sizeof buf ? std::string(buf, n) : "";
}

std::string Minuscolo(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

TEST(SpecialFolders, EachFolderTheInstallerNamesIsTheSystemsOwn) {
    // A 32-bit program on 64-bit Windows gets the 32-bit program files and
    // the system folder its own regsvr32 lies in.
    struct Caso {
        int csidl;
        std::string atteso;
    };
    const Caso casi[] = {
        {16, Ambiente("USERPROFILE") + "\\Desktop"},
        {38, Ambiente("ProgramFiles")},
        {37, Ambiente("SystemRoot") + "\\system32"},
        {25, Ambiente("PUBLIC") + "\\Desktop"},
        {22, Ambiente("ProgramData") + "\\Microsoft\\Windows\\Start Menu"},
        {23, Ambiente("ProgramData") + "\\Microsoft\\Windows\\Start Menu\\Programs"},
        {20, Ambiente("SystemRoot") + "\\Fonts"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE("CSIDL " + std::to_string(c.csidl));
        std::string p = CartellaSpeciale(c.csidl);
        EXPECT_EQ(Minuscolo(p), Minuscolo(c.atteso));
        EXPECT_TRUE(sistema::EsisteCartella(p)) << p;
    }
    // A number the shell does not know, and a folder with no file-system
    // path (My Computer), give nothing.
    EXPECT_EQ(CartellaSpeciale(0x7F7F), "");
    EXPECT_EQ(CartellaSpeciale(17), "");
}

TEST(Macchina, TheVersionLineTellsTheTruthAndTheRightsAreTheTokens) {
    // RtlGetVersion never pretends; GetVersionExA does unless the manifest
    // names the system, and reports 6.2 on Windows 8 and later.
    OSVERSIONINFOW vero{};
    vero.dwOSVersionInfoSize = sizeof vero;
    using Rtl = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto rtl = reinterpret_cast<Rtl>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_TRUE(rtl);
    ASSERT_EQ(rtl(&vero), 0);

    sistema::OSVERSIONINFOA v;
    v.dwOSVersionInfoSize = 148;
    ASSERT_TRUE(sistema::GetVersionExA(v));
    EXPECT_EQ(v.dwMajorVersion, vero.dwMajorVersion);
    EXPECT_EQ(v.dwMinorVersion, vero.dwMinorVersion);
    EXPECT_EQ(v.dwBuildNumber, vero.dwBuildNumber);
    EXPECT_EQ(v.dwPlatformId, 2u);
    sistema::OSVERSIONINFOA sbagliata;
    sbagliata.dwOSVersionInfoSize = 156;
    EXPECT_FALSE(sistema::GetVersionExA(sbagliata));

    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID amministratori = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                         &amministratori));
    BOOL membro = FALSE;
    CheckTokenMembership(nullptr, amministratori, &membro);
    FreeSid(amministratori);
    EXPECT_EQ(sistema::IsNTAdmin(0, nullptr) != 0, membro != FALSE);
}

}  // namespace noce::prova
