// The installation log: record layout, time stamp, line ends and bytes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <deque>
#include <filesystem>

#include "platform/Sistema.h"
#include "platform/mdlLogInstallazione.h"
#include "support/DriveDiProva.h"

namespace noce {
namespace {

using sistema::DataOra;

class LogTest : public ::testing::Test {
protected:
    prova::DriveDiProva drive;
    std::deque<DataOra> letture;

    void SetUp() override {
        drive.Scrivi("Setup/files/.tieni", "");
        DirFiles = "C:\\Setup\\files";
        sistema::ImpostaOrologio([this] {
            DataOra d = letture.front();
            if (letture.size() > 1) letture.pop_front();
            return d;
        });
    }
    void TearDown() override {
        sistema::ImpostaOrologio({});
        DirFiles.clear();
    }
    std::string Log() { return drive.Leggi("Setup/files/logInstallazione.txt"); }
};

TEST_F(LogTest, RecordsOnDisk) {
    struct Caso {
        const char* nome;
        std::vector<DataOra> orologio;  // two reads per record: date, then time
        std::vector<std::string> messaggi;
        std::string atteso;
    };
    const std::vector<Caso> casi = {
        {"midnight", {{2026, 12, 9, 0, 0, 0}}, {"Inizio procedura"}, "09/12/2026|00:0:00|Inizio procedura\r\n\r\n"},
        {"minutes without a leading zero", {{2026, 1, 2, 14, 3, 9}}, {"x"}, "02/01/2026|14:3:09|x\r\n\r\n"},
        {"empty message", {{2026, 12, 8, 9, 5, 7}}, {""}, "08/12/2026|09:5:07|\r\n\r\n"},
        {"CR LF inside the message",
         {{2026, 12, 8, 23, 59, 59}},
         {"Installazione\r\n53.30 Impossibile trovare il file"},
         "08/12/2026|23:59:59|Installazione\r\n53.30 Impossibile trovare il file\r\n\r\n"},
        {"two records in one second",
         {{2026, 12, 8, 10, 10, 10}},
         {"primo", "secondo"},
         "08/12/2026|10:10:10|primo\r\n\r\n08/12/2026|10:10:10|secondo\r\n\r\n"},
        {"the date read before the time across midnight",
         {{2026, 12, 8, 23, 59, 59}, {2026, 12, 9, 0, 0, 0}},
         {"a cavallo"},
         "08/12/2026|00:0:00|a cavallo\r\n\r\n"},
        {"Windows-1252 bytes", {{2026, 12, 8, 8, 0, 0}}, {"Componente già presente"},
         "08/12/2026|08:0:00|Componente gi\xE0 presente\r\n\r\n"},
        {"separators kept inside the message", {{2026, 12, 8, 8, 0, 0}}, {"  a|b  "}, "08/12/2026|08:0:00|  a|b  \r\n\r\n"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        sistema::ScriviTesto(DirFiles + "\\logInstallazione.txt", "");
        letture.assign(c.orologio.begin(), c.orologio.end());
        for (const auto& m : c.messaggi) ScriviLog(m);
        EXPECT_EQ(Log(), c.atteso);
    }
}

TEST_F(LogTest, AppendsAndCreates) {
    letture = {{2026, 12, 8, 8, 0, 0}};
    ScriviLog("uno");
    drive.Scrivi("Setup/files/logInstallazione.txt", drive.Leggi("Setup/files/logInstallazione.txt") + "ALTRO\r\n");
    ScriviLog("due");
    EXPECT_EQ(Log(), "08/12/2026|08:0:00|uno\r\n\r\nALTRO\r\n08/12/2026|08:0:00|due\r\n\r\n");
}

// The log stays open between records, yet every record is on disk when
// the call returns and goes where the log's name leads at that moment.
TEST_F(LogTest, EachRecordFollowsTheName) {
    letture = {{2026, 12, 8, 8, 0, 0}};
    const std::string log = drive.Host("Setup/files/logInstallazione.txt");
    auto record = [](const char* m) { return std::string("08/12/2026|08:0:00|") + m + "\r\n\r\n"; };
    ScriviLog("uno");
    EXPECT_EQ(Log(), record("uno"));
    ASSERT_EQ(::link(log.c_str(), drive.Host("copia.txt").c_str()), 0);
    std::filesystem::remove(log);
    ScriviLog("due");
    EXPECT_EQ(Log(), record("due")) << "a deleted log is created again";
    drive.Scrivi("altro.txt", "ALTRO\r\n");
    std::filesystem::rename(drive.Host("altro.txt"), log);
    ScriviLog("tre");
    EXPECT_EQ(Log(), "ALTRO\r\n" + record("tre")) << "a log replaced takes the records";
    EXPECT_EQ(drive.Leggi("copia.txt"), record("uno")) << "the old file, under another name, takes none";
    std::filesystem::remove(log);
    std::filesystem::create_directory(log);
    EXPECT_THROW(ScriviLog("quattro"), ErroreRuntime);
}

TEST_F(LogTest, AMissingFolderIsTheCallersFailure) {
    letture = {{2026, 12, 8, 8, 0, 0}};
    DirFiles = "C:\\Setup\\manca";
    try {
        ScriviLog("x");
        FAIL() << "no failure";
    } catch (const ErroreRuntime& e) {
        EXPECT_EQ(e.Numero(), err::PercorsoNonTrovato);
    }
    EXPECT_FALSE(drive.Esiste("Setup/manca"));
}

TEST_F(LogTest, BeforeDirFilesIsSetRecordsGoToStandardError) {
    letture = {{2026, 12, 8, 8, 0, 0}};
    DirFiles.clear();
    ::testing::internal::CaptureStderr();
    ScriviLog("SysDir:C:\\Windows\\System32");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "08/12/2026|08:0:00|SysDir:C:\\Windows\\System32\r\n\r\n");
    EXPECT_FALSE(drive.Esiste("logInstallazione.txt"));
}

}  // namespace
}  // namespace noce
