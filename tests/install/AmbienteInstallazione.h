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
#include "platform/Cp1252.h"
#include "platform/mdlLogInstallazione.h"
#include "platform/mdlSystemInfo.h"
#include "support/DriveDiProva.h"
#include "support/LogDiProva.h"
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
    static std::vector<std::string> Messaggi(const std::string& logCp1252) { return MessaggiLog(logCp1252); }
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
