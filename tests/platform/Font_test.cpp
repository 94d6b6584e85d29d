// The font batch file: its two lines, and what the machine's cmd.exe makes
// of them while the installer goes on.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "AiutiProcessi.h"
#include "platform/mdlFont.h"
#include "platform/mdlLogInstallazione.h"
#include "platform/posix/Macchina.h"
#include "platform/posix/Registro.h"
#include "support/DriveDiProva.h"

namespace noce {
namespace {

using namespace std::string_literals;

const std::string Chiave = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const std::string Riga2 =
    "REG ADD \"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts\" /v \"Fulcro (True Type)\" /t REG_SZ "
    "/d \"fulcro.ttf\" /f\r\n";

class Font : public ::testing::Test {
protected:
    void SetUp() override {
        drive_.Scrivi("Setup/files/fulcro.ttf", "\x00\x01\x00\x00 un font"s);
        DirFiles = "C:\\Setup\\files";
    }
    void TearDown() override {
        AttendiFineInstallaFont();
        DirFiles.clear();
    }
    prova::DriveDiProva drive_;
};

TEST_F(Font, TheBatchHasExactlyTwoLinesAndIsRewrittenEachTime) {
    // Longer than what replaces it: a file appended to or not emptied
    // would keep part of it.
    drive_.Scrivi("Setup/files/InstallFont.bat", std::string(2000, 'z') + "\r\n");
    struct Caso {
        std::string cartella, attesa;  // as passed, and as the call leaves it
        std::string byte;              // of the source in line 1
    };
    const Caso casi[] = {
        {"C:\\Setup\\files", "C:\\Setup\\files\\", "C:\\Setup\\files\\"},
        {"C:\\Setup\\files\\", "C:\\Setup\\files\\", "C:\\Setup\\files\\"},
        {"", "\\", "\\"},
        {"C:\\Setup\\Già", "C:\\Setup\\Già\\", "C:\\Setup\\Gi\xE0\\"},  // Windows-1252 on disk
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.cartella);
        std::string cartella = c.cartella, nome = "fulcro.ttf";
        InstallaFont(cartella, nome);
        AttendiFineInstallaFont();
        EXPECT_EQ(cartella, c.attesa);
        EXPECT_EQ(nome, "fulcro.ttf");
        EXPECT_EQ(drive_.Leggi("Setup/files/InstallFont.bat"),
                  "XCOPY \"" + c.byte + "fulcro.ttf\" %systemroot%\\fonts /Y /C\r\n" + Riga2);
    }
}

TEST_F(Font, TheBatchCopiesAndRegistersTheFontWhileTheInstallerGoesOn) {
    // Holding the registry's lock stops the batch at its REG ADD line: the
    // value can only be there when InstallaFont returns if it waited, and
    // the lock is let go after a while so that such a wait still ends.
    std::string blocco = posix::FileRegistro(drive_.Radice()) + ".lock";
    // Not inherited: a child holding the same open file would hold the lock.
    int fd = ::open(blocco.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    std::mutex m;
    std::condition_variable cv;
    bool libera = false;
    std::thread custode([&] {
        std::unique_lock<std::mutex> l(m);
        cv.wait_for(l, std::chrono::seconds(10), [&] { return libera; });
        ::close(fd);
    });

    std::string cartella = DirFiles, nome = "fulcro.ttf";
    InstallaFont(cartella, nome);
    EXPECT_FALSE(posix::LeggiValoreRegistro(Chiave, "Fulcro (True Type)").has_value());
    {
        std::lock_guard<std::mutex> l(m);
        libera = true;
    }
    cv.notify_one();
    custode.join();

    AttendiFineInstallaFont();
    EXPECT_EQ(drive_.Leggi("Windows/Fonts/fulcro.ttf"), drive_.Leggi("Setup/files/fulcro.ttf"));
    auto v = posix::LeggiValoreRegistro(Chiave, "Fulcro (True Type)");
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(v->tipo, "REG_SZ");
    EXPECT_EQ(v->dati, "fulcro.ttf");
    EXPECT_NE(prova::LeggiFile(posix::FileRegistro(drive_.Radice()))
                  .find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]\r\n"
                        "\"Fulcro (True Type)\"=\"fulcro.ttf\"\r\n"),
              std::string::npos);
}

TEST_F(Font, ABatchStuckOnTheRegistryIsGivenUpWithALogLine) {
    std::string blocco = posix::FileRegistro(drive_.Radice()) + ".lock";
    int fd = ::open(blocco.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    const auto prima = AttesaMassimaFontMs;
    AttesaMassimaFontMs = 1000;

    std::string cartella = DirFiles, nome = "fulcro.ttf";
    InstallaFont(cartella, nome);
    AttendiFineInstallaFont();
    AttesaMassimaFontMs = prima;
    std::string log = drive_.Leggi("Setup/files/logInstallazione.txt");
    EXPECT_NE(log.find("Installazione del font non terminata dopo 1 secondi: proseguo"), std::string::npos) << log;

    // Let go, the batch ends on its own before the drive goes.
    ::close(fd);
    for (int i = 0; i < 250 && !posix::LeggiValoreRegistro(Chiave, "Fulcro (True Type)"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

TEST_F(Font, ABatchThatCannotStartIsTheCallersFailure) {
    // No command interpreter on this machine.
    std::filesystem::remove(drive_.Host("Windows/System32/cmd.exe"));
    std::string cartella = DirFiles, nome = "fulcro.ttf";
    try {
        InstallaFont(cartella, nome);
        ADD_FAILURE() << "started without cmd.exe";
    } catch (const ErroreRuntime& e) {
        EXPECT_EQ(e.Numero(), err::FileNonTrovato);
    }
    EXPECT_TRUE(drive_.Esiste("Setup/files/InstallFont.bat"));
}

}  // namespace
}  // namespace noce
