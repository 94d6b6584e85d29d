#pragma once
// The window on a fresh test drive, with its installer folder at C:\Setup
// and a scripted user interface.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/frmPrincipale.h"
#include "install/AmbienteInstallazione.h"
#include "platform/mdlLogInstallazione.h"
#include "support/DriveDiProva.h"
#include "support/InterfacciaDiProva.h"

namespace noce::prova {

class Finestra {
public:
    explicit Finestra(const posix::ImpostazioniMacchina& macchina = {}) {
        setenv("NOCE_CARTELLA_PROGRAMMA", "C:\\Setup", 1);
        drive.Imposta(macchina);
        drive.Scrivi("Setup/.tieni", "");
        form = std::make_unique<frmPrincipale>(ui);
    }
    ~Finestra() {
        unsetenv("NOCE_CARTELLA_PROGRAMMA");
        DirFiles.clear();
    }
    Finestra(const Finestra&) = delete;
    Finestra& operator=(const Finestra&) = delete;

    void Avvia() {
        form->Form_Load();
        form->Form_Activate();
    }
    std::vector<std::string> Log() const { return AmbienteInstallazione::Messaggi(drive.Leggi("Setup/files/logInstallazione.txt")); }

    DriveDiProva drive;
    InterfacciaDiProva ui;
    std::unique_ptr<frmPrincipale> form;
};

}  // namespace noce::prova
