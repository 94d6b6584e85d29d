// Command lines by the Windows rules: how they split, which program they
// name, and a real child process started and awaited through them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <thread>
#include <filesystem>

#include "AiutiProcessi.h"
#include "platform/ModuleShell.h"
#include "platform/mdlLogInstallazione.h"
#include "platform/posix/Percorsi.h"
#include "platform/posix/Processi.h"
#include "support/DriveDiProva.h"

namespace noce {
namespace {

namespace fs = std::filesystem;

TEST(Processi, ArgumentsSplitAsTheMicrosoftRuntimeSplitsThem) {
    struct Caso {
        const char* riga;
        std::vector<std::string> attesi;
    };
    const Caso casi[] = {
        {"", {}},
        {" \t ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"  a  \t  b  ", {"a", "b"}},
        {R"("a b" c)", {"a b", "c"}},
        {R"(a"b c"d)", {"ab cd"}},                                  // quotes inside a word
        {R"("a b)", {"a b"}},                                       // unterminated quote
        {R"("" x)", {"", "x"}},                                     // an empty argument
        {R"(a "" b)", {"a", "", "b"}},
        {R"(\a\\b\)", {R"(\a\\b\)"}},                               // backslashes alone are plain
        {R"(a\"b)", {R"(a"b)"}},                                    // 1 backslash + quote: a quote
        {R"(a\\"b c")", {R"(a\b c)"}},                              // 2n: n backslashes, quote groups
        {R"(a\\\"b)", {R"(a\"b)"}},                                 // 2n+1: n backslashes and a quote
        {R"("a\\\\" b)", {R"(a\\)", "b"}},                          // 4 before the closing quote
        {R"("C:\Setup\" x)", {R"(C:\Setup" x)"}},                   // the classic trap: \" is a quote
        {R"("a""b")", {R"(a"b)"}},                                  // doubled quote inside quotes
        {R"("a""b c")", {R"(a"b c)"}},                              // ... and quoting goes on
        {R"(a""b)", {"ab"}},                                        // outside quotes: an empty pair
        {R"(-o "C:\Setup\transito.zip" -d "C:\Setup\files")",
         {"-o", R"(C:\Setup\transito.zip)", "-d", R"(C:\Setup\files)"}},
        {R"("C:\Windows\System32\comp.ocx" /s)", {R"(C:\Windows\System32\comp.ocx)", "/s"}},
        {"-download/lista.txt -C:\\Program Files\\Setup\\lista.txt",
         {"-download/lista.txt", "-C:\\Program", "Files\\Setup\\lista.txt"}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.riga);
        EXPECT_EQ(posix::ArgomentiCrt(c.riga), c.attesi);
    }
}

// Restores the current folder when the test ends.
class CartellaCorrente {
public:
    explicit CartellaCorrente(const std::string& nuova) {
        char b[PATH_MAX];
        precedente_ = getcwd(b, sizeof b) ? b : "/";
        EXPECT_EQ(chdir(nuova.c_str()), 0);
    }
    ~CartellaCorrente() {
        if (chdir(precedente_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << precedente_;
    }

private:
    std::string precedente_;
};

TEST(Processi, TheProgramIsFoundAsTheWindowsProcessStartFindsIt) {
    prova::DriveDiProva drive;
    for (const char* f : {"Setup/unzip.exe", "Program Files/Eco Test/eco.exe", "Setup/files/InstallFont.bat",
                          "Lavoro/solo.exe", "Lavoro/doppio.exe", "Windows/System32/doppio.exe",
                          "Windows/System32/senzaest"})
        drive.Scrivi(f, "x");
    std::string bin = drive.Host("bin");
    fs::create_directories(bin);
    std::ofstream(bin + "/strumento") << "#!/bin/sh\n";
    std::ofstream(bin + "/nonesec") << "#!/bin/sh\n";
    fs::permissions(bin + "/strumento", fs::perms::owner_all);
    fs::permissions(bin + "/nonesec", fs::perms::owner_read | fs::perms::owner_write);
    // The folder of the running program comes before all others.
    std::string primo = posix::CartellaEseguibile() + "/noce-prova-primo.exe";
    std::ofstream(primo) << "x";
    drive.Scrivi("Lavoro/noce-prova-primo.exe", "x");

    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (bin + ":" + path).c_str(), 1);
    CartellaCorrente qui(drive.Host("Lavoro"));

    struct Caso {
        const char* riga;
        std::string file;  // host path below the drive, "" for nothing found
        std::vector<std::string> argomenti;
    };
    std::string sys = "Windows/System32/";
    const std::vector<Caso> casi = {
        // quoted program, no extension: the .exe of that name
        {R"("C:\Setup\unzip" -o "C:\Setup\transito.zip")", "Setup/unzip.exe", {"-o", R"(C:\Setup\transito.zip)"}},
        {R"(C:\SETUP\UNZIP.EXE x)", "Setup/unzip.exe", {"x"}},
        {R"(  "C:\Setup\unzip.exe")", "Setup/unzip.exe", {}},
        // unquoted with blanks: tried prefix by prefix
        {R"(C:\Program Files\Eco Test\eco.exe uno "due tre")", "Program Files/Eco Test/eco.exe", {"uno", "due tre"}},
        {R"(C:\Program Files\Eco Test\eco uno)", "Program Files/Eco Test/eco.exe", {"uno"}},
        // a name alone: current folder before the system folder
        {"doppio a", "Lavoro/doppio.exe", {"a"}},
        {"solo", "Lavoro/solo.exe", {}},
        {R"(regsvr32 "C:\Windows\System32\comp.ocx" /s)", sys + "regsvr32.exe", {R"(C:\Windows\System32\comp.ocx)", "/s"}},
        // a file without extension is not what a name without one means
        {"senzaest", "", {}},
        // the host's PATH last, executable files only
        {"strumento --x", "bin/strumento", {"--x"}},
        {"nonesec", "", {}},
        {"noce-prova-primo", "<primo>", {}},
        // a batch file runs through cmd.exe /c
        {R"(C:\Setup\files\InstallFont.bat a)", sys + "cmd.exe", {"/c", R"(C:\Setup\files\InstallFont.bat)", "a"}},
        {R"(C:\nonesiste\prog.exe)", "", {}},
        {R"("C:\Setup\manca" -o x)", "", {}},
        {"", "", {}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.riga);
        auto p = posix::TrovaProgramma(c.riga);
        if (c.file.empty()) {
            EXPECT_FALSE(p.has_value()) << p->host;
            continue;
        }
        ASSERT_TRUE(p.has_value());
        std::string atteso = c.file == "<primo>" ? primo : drive.Host(c.file);
        EXPECT_EQ(fs::canonical(p->host), fs::canonical(atteso));
        EXPECT_EQ(p->argomenti, c.argomenti);
    }

    // A "C:\Program.exe" wins over the folder with the blank, as on Windows.
    drive.Scrivi("Program.exe", "x");
    auto p = posix::TrovaProgramma(R"(C:\Program Files\Eco Test\eco.exe uno)");
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(fs::canonical(p->host), fs::canonical(drive.Host("Program.exe")));
    EXPECT_EQ(p->argomenti, (std::vector<std::string>{R"(Files\Eco)", R"(Test\eco.exe)", "uno"}));

    fs::remove(primo);
    setenv("PATH", path.c_str(), 1);
}

class EchoProcess : public ::testing::Test {
protected:
    void SetUp() override {
        // Saved as the downloader saves programs: a plain file.
        drive_.Scrivi("Program Files/Eco Test/eco.exe", prova::LeggiFile(NOCE_PROGRAMMA_ECO));
        fs::permissions(drive_.Host("Program Files/Eco Test/eco.exe"), fs::perms::owner_read | fs::perms::owner_write);
        uscita_ = drive_.Host("eco.out");
        setenv("NOCE_ECO_FILE", uscita_.c_str(), 1);
        drive_.Scrivi("Setup/files/.tieni", "");
        DirFiles = "C:\\Setup\\files";
    }
    void TearDown() override {
        unsetenv("NOCE_ECO_FILE");
        unsetenv("NOCE_ECO_ATTESA_MS");
        unsetenv("NOCE_ECO_CODICE");
        DirFiles.clear();
    }
    std::vector<std::string> Ricevuti() {
        std::string dati = prova::LeggiFile(uscita_);
        std::vector<std::string> r;
        for (std::size_t i = 0, f; (f = dati.find('\0', i)) != std::string::npos; i = f + 1) r.push_back(dati.substr(i, f - i));
        return r;
    }

    prova::DriveDiProva drive_;
    std::string uscita_;
};

TEST_F(EchoProcess, TheChildGetsItsArgumentsAndIsAwaited) {
    // The child sleeps before it writes: its file exists only if
    // EseguiAttendi waited for its end. It also ends with an error code,
    // which nobody reads.
    setenv("NOCE_ECO_ATTESA_MS", "300", 1);
    setenv("NOCE_ECO_CODICE", "3", 1);
    EseguiAttendi(R"(C:\Program Files\Eco Test\eco uno "due tre" "C:\Setup\files" a\"b "" "x""y" c:\a\\"b c")");
    ASSERT_TRUE(fs::exists(uscita_));
    EXPECT_EQ(Ricevuti(), (std::vector<std::string>{"uno", "due tre", R"(C:\Setup\files)", R"(a"b)", "", R"(x"y)",
                                                    R"(c:\a\b c)"}));
    // The .exe was given the execute bit it was saved without.
    EXPECT_TRUE((fs::status(drive_.Host("Program Files/Eco Test/eco.exe")).permissions() & fs::perms::owner_exec) !=
                fs::perms::none);
}

TEST_F(EchoProcess, AMissingProgramReturnsAtOnceAndSilently) {
    for (const char* riga : {R"("C:\Setup\manca" -o "C:\Setup\transito.zip")", R"(C:\Program Files\manca.exe)", "",
                             R"(C:\Setup\files\.tieni)"}) {
        SCOPED_TRACE(riga);
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        EseguiAttendi(riga);
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    }
    EXPECT_FALSE(drive_.Esiste("Setup/files/logInstallazione.txt"));
    // A data file named on a command line is not made a program.
    EXPECT_TRUE((fs::status(drive_.Host("Setup/files/.tieni")).permissions() & fs::perms::owner_exec) == fs::perms::none);
}

TEST_F(EchoProcess, ABatchFileRunsThroughTheMachinesCommandInterpreter) {
    drive_.Scrivi("Setup/files/copia.bat", "@XCOPY \"C:\\Program Files\\Eco Test\\eco.exe\" C:\\Copia\\ /Y /Q\r\n");
    EseguiAttendi(R"(C:\Setup\files\copia.bat)");
    EXPECT_TRUE(drive_.Esiste("Copia/eco.exe"));
}

}  // namespace
TEST(Processi, EveryStartedProgramIsReapedAndItsWaitHasABound) {
    auto lento = sistema::AvviaProgramma("sh -c \"sleep 0.5\"", sistema::StileFinestra::Nascosta);
    auto rapido = sistema::AvviaProgramma("sh -c \"exit 3\"", sistema::StileFinestra::Nascosta);
    EXPECT_FALSE(sistema::ProgrammaTerminato(lento));
    EXPECT_FALSE(sistema::AttendiProgramma(lento, 50));
    EXPECT_TRUE(sistema::AttendiProgramma(lento, 10000));
    EXPECT_TRUE(sistema::ProgrammaTerminato(lento));
    // Nobody asks about this one, as nobody asks about the help page's
    // browser: it must still be gone, not left as a zombie.
    bool andato = false;
    for (int i = 0; i < 200 && !andato; ++i) {
        andato = ::kill(static_cast<pid_t>(rapido), 0) != 0 && errno == ESRCH;
        if (!andato) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(andato) << "an ended program left behind as a zombie";
}

}  // namespace noce
