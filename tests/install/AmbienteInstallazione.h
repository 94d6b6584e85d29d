#pragma once
// A prepared installer folder C:\Setup on a fresh test drive: the working
// folder DirFiles with an empty log, the folder globals read from the
// machine, and helpers to write the install list and read the log back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "app/frmPrincipale.h"
#include "platform/mdlLogInstallazione.h"
#include "platform/mdlSystemInfo.h"
#include "platform/posix/Testo.h"
#include "support/DriveDiProva.h"
#include "support/InterfacciaDiProva.h"

namespace noce::prova {

class AmbienteInstallazione {
public:
    AmbienteInstallazione() {
        setenv("NOCE_CARTELLA_PROGRAMMA", "C:\\Setup", 1);
        drive.Scrivi("Setup/files/logInstallazione.txt", "");
        DirFiles = "C:\\Setup\\files";
        LeggiCartelle();
        drive.Scrivi("Setup/files/logInstallazione.txt", "");
        // A second name for the log outside DirFiles: the clean-up of a
        // successful run deletes the log, this name keeps every record.
        EXPECT_EQ(::link(drive.Host("Setup/files/logInstallazione.txt").c_str(), drive.Host("log-completo.txt").c_str()),
                  0);
    }
    ~AmbienteInstallazione() {
        unsetenv("NOCE_CARTELLA_PROGRAMMA");
        DirFiles.clear();
    }
    AmbienteInstallazione(const AmbienteInstallazione&) = delete;
    AmbienteInstallazione& operator=(const AmbienteInstallazione&) = delete;

    // The install list, as bytes on disk.
    void Lista(const std::string& byte) const { drive.Scrivi("Setup/Lista.txt", byte); }

    // The log's messages, in order, each checked for its time stamp and
    // given without it.
    static std::vector<std::string> Messaggi(const std::string& logCp1252) {
        std::string log = posix::Cp1252AUtf8(logCp1252);
        static const std::regex stampo(R"(^\d\d/\d\d/\d{4}\|\d\d:\d{1,2}:\d\d\|)");
        std::vector<std::string> messaggi;
        std::size_t inizio = 0;
        while (inizio < log.size()) {
            std::size_t fine = log.find("\r\n\r\n", inizio);
            EXPECT_NE(fine, std::string::npos) << "record without its two line ends: " << log.substr(inizio);
            if (fine == std::string::npos) fine = log.size();
            std::string record = log.substr(inizio, fine - inizio);
            std::smatch m;
            EXPECT_TRUE(std::regex_search(record, m, stampo)) << "record without a time stamp: " << record;
            messaggi.push_back(m.empty() ? record : record.substr(static_cast<std::size_t>(m.length(0))));
            inizio = fine + 4;
        }
        return messaggi;
    }
    // The log as it stands in DirFiles.
    std::vector<std::string> Messaggi() const { return Messaggi(drive.Leggi("Setup/files/logInstallazione.txt")); }
    // Every record written to the log file, also after the clean-up.
    std::vector<std::string> MessaggiCompleti() const { return Messaggi(drive.Leggi("log-completo.txt")); }

    // Runs the installation to the end of the program.
    void Esegui(frmPrincipale& form) {
        try {
            form.Installazione();
        } catch (const FineProgramma&) {
        }
        EXPECT_TRUE(ui.terminato) << "the run must end the program";
    }

    DriveDiProva drive;
    InterfacciaDiProva ui;
};

}  // namespace noce::prova
