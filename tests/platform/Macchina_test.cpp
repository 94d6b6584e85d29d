// A fresh drive is laid out as a Windows machine; its version and rights.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Sistema.h"
#include "platform/mdlLogInstallazione.h"
#include "platform/mdlSystemInfo.h"
#include "platform/posix/Macchina.h"
#include "support/DriveDiProva.h"

namespace noce {
namespace {

namespace fs = std::filesystem;

TEST(Macchina, AFreshDriveHasTheSpecialFoldersInOrder) {
    prova::DriveDiProva drive;
    std::string utente = posix::NomeUtente();
    const std::vector<std::pair<int, std::string>> cartelle = {
        {16, "Users/" + utente + "/Desktop"},
        {38, "Program Files"},
        {37, "Windows/System32"},
        {25, "Users/Public/Desktop"},
        {22, "ProgramData/Microsoft/Windows/Start Menu"},
        {23, "ProgramData/Microsoft/Windows/Start Menu/Programs"},
        {20, "Windows/Fonts"},
    };
    for (const auto& [csidl, relativo] : cartelle) {
        SCOPED_TRACE(csidl);
        EXPECT_TRUE(fs::is_directory(drive.Host(relativo)));
        std::string atteso = "C:\\" + relativo;
        for (auto& ch : atteso)
            if (ch == '/') ch = '\\';
        EXPECT_EQ(CartellaSpeciale(csidl), atteso);
    }
    EXPECT_EQ(CartellaSpeciale(0x2A), "");  // a folder this machine does not know
    EXPECT_TRUE(fs::exists(posix::FileRegistro(drive.Radice())));

    DirFiles.clear();
    ::testing::internal::CaptureStderr();
    LeggiCartelle();
    std::string records = ::testing::internal::GetCapturedStderr();
    std::vector<std::string> messaggi;
    for (std::size_t inizio = 0, fine; (fine = records.find("\r\n\r\n", inizio)) != std::string::npos; inizio = fine + 4) {
        std::string record = records.substr(inizio, fine - inizio);
        messaggi.push_back(record.substr(record.find('|', record.find('|') + 1) + 1));
    }
    EXPECT_EQ(messaggi, (std::vector<std::string>{
                            "UserDesktopDir:C:\\Users\\" + utente + "\\Desktop", "PrgDir:C:\\Program Files",
                            "SysDir:C:\\Windows\\System32", "DeskDir:C:\\Users\\Public\\Desktop",
                            "MnuAvvioDir:C:\\ProgramData\\Microsoft\\Windows\\Start Menu",
                            "MnuAvvioPrgDir:C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs",
                            "DirFonts:C:\\Windows\\Fonts", "Nocedir:c:"}));
    EXPECT_EQ(SysDir, "C:\\Windows\\System32");
}

TEST(Macchina, VersionAndRightsComeFromTheDrive) {
    prova::DriveDiProva drive;
    sistema::OSVERSIONINFOA v;
    EXPECT_FALSE(sistema::GetVersionExA(v));  // the size must be announced
    v.dwOSVersionInfoSize = 148;
    ASSERT_TRUE(sistema::GetVersionExA(v));
    EXPECT_EQ(v.dwPlatformId, 2u);
    EXPECT_EQ(v.dwMajorVersion, 6u);
    EXPECT_EQ(v.dwMinorVersion, 1u);
    EXPECT_NE(sistema::IsNTAdmin(0, nullptr), 0);

    drive.Imposta({1, 4, 10, 2222, false});
    ASSERT_TRUE(sistema::GetVersionExA(v));
    EXPECT_EQ(v.dwPlatformId, 1u);
    EXPECT_EQ(v.dwMajorVersion, 4u);
    EXPECT_EQ(v.dwMinorVersion, 10u);
    EXPECT_EQ(sistema::IsNTAdmin(0, nullptr), 0);
    // Without the rights the system folder cannot be changed, root or not.
    try {
        sistema::ScriviTesto("C:\\Windows\\System32\\prova.dll", "x");
        FAIL() << "written without rights";
    } catch (const ErroreRuntime& e) {
        EXPECT_EQ(e.Numero(), err::AutorizzazioneNegata);
    }
    EXPECT_FALSE(drive.Esiste("Windows/System32/prova.dll"));
}

}  // namespace
}  // namespace noce
