// Starting programs on Windows: run-and-wait, start-then-wait and the
// batch file, with a program that reports its arguments.
#include <gtest/gtest.h>

#include "AiutiWin.h"
#include "platform/Sistema.h"

#include <windows.h>

#include <chrono>

namespace noce::prova {

namespace {

// eco.exe lies beside the test program.
std::string Eco() { return sistema::CartellaProgramma() + "\\eco"; }

std::string Argomenti(const std::vector<std::string>& a) {
    std::string s;
    for (const auto& x : a) s += x + '\0';
    return s;
}

double Secondi(std::chrono::steady_clock::time_point da) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - da).count();
}

}  // namespace

TEST(Processi, RunAndWaitReturnsOnlyWhenTheProgramHasEnded) {
    struct Caso {
        const char* nome;
        std::string riga;  // after the program
        std::vector<std::string> argomenti;
    };
    // The extractor's and the registration's command lines: the program in
    // double quotes and without extension, paths in double quotes.
    const Caso casi[] = {
        {"quoted, no extension", " -o \"C:\\Setup\\transito.zip\" -d \"C:\\Setup\\files\"",
         {"-o", "C:\\Setup\\transito.zip", "-d", "C:\\Setup\\files"}},
        {"a trailing option", " \"C:\\Windows\\System32\\nocebase.dll\" /s",
         {"C:\\Windows\\System32\\nocebase.dll", "/s"}},
        {"a quote inside", R"( "a \"b\" c" d)", {"a \"b\" c", "d"}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        CartellaTemporanea t;
        Variabile file("NOCE_ECO_FILE", t("eco.txt"));
        Variabile attesa("NOCE_ECO_ATTESA_MS", "400");
        auto inizio = std::chrono::steady_clock::now();
        ASSERT_TRUE(sistema::AvviaEAttendi("\"" + Eco() + "\"" + c.riga));
        EXPECT_GE(Secondi(inizio), 0.39);
        // The file is renamed into place just before the program ends.
        EXPECT_EQ(LeggiFile(t.W("eco.txt")), Argomenti(c.argomenti));
    }
    auto inizio = std::chrono::steady_clock::now();
    EXPECT_FALSE(sistema::AvviaEAttendi("\"C:\\nessuno\\programma.exe\" -x"));
    EXPECT_LT(Secondi(inizio), 5.0);
}

TEST(Processi, AStartedProgramIsWaitedForByItsIdOnce) {
    CartellaTemporanea t;
    Variabile file("NOCE_ECO_FILE", t("eco.txt"));
    Variabile attesa("NOCE_ECO_ATTESA_MS", "500");
    auto id = sistema::AvviaProgramma("\"" + Eco() + "\" uno", sistema::StileFinestra::RidottaAttiva);
    EXPECT_FALSE(sistema::EsisteFile(t("eco.txt"))) << "the start must not wait";
    sistema::AttendiProgramma(id);
    EXPECT_EQ(LeggiFile(t.W("eco.txt")), Argomenti({"uno"}));
    // Waited for once: the handle is gone, a second wait returns at once.
    auto inizio = std::chrono::steady_clock::now();
    sistema::AttendiProgramma(id);
    EXPECT_LT(Secondi(inizio), 1.0);

    EXPECT_THROW(sistema::AvviaProgramma("C:\\nessuno\\programma.exe", sistema::StileFinestra::NormaleAttiva),
                 ErroreRuntime);
}

TEST(Processi, ABatchFileRunsThroughTheCommandInterpreter) {
    // The font batch is started by name, as a program.
    CartellaTemporanea t;
    std::string batch = t("InstallFont.bat");
    sistema::ScriviTesto(batch, "echo fatto> \"" + t("fatto.txt") + "\"\r\n");
    sistema::AttendiProgramma(sistema::AvviaProgramma(batch, sistema::StileFinestra::RidottaAttiva));
    EXPECT_EQ(LeggiFile(t.W("fatto.txt")), "fatto\r\n");
}

TEST(Processi, WaitingReleasesTheStartedProgram) {
    // An ended process stays reachable by its id only while someone holds
    // a handle to it or to its thread.
    Variabile attesa("NOCE_ECO_ATTESA_MS", "300");
    auto id = sistema::AvviaProgramma("\"" + Eco() + "\"", sistema::StileFinestra::Nascosta);
    HANDLE mentre = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
    ASSERT_TRUE(mentre) << "a running program is reachable by its id";
    CloseHandle(mentre);
    sistema::AttendiProgramma(id);
    // Wine lets the process go a moment after it has ended.
    bool rilasciato = false;
    for (int i = 0; i < 50 && !rilasciato; ++i) {
        HANDLE dopo = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
        rilasciato = !dopo;
        if (dopo) CloseHandle(dopo), Sleep(100);
    }
    EXPECT_TRUE(rilasciato) << "a handle of the ended program is still open";
}

}  // namespace noce::prova
