#pragma once
// An installer on a fresh test drive: its folder (C:\Setup unless told
// otherwise) with the window loaded, a scripted user interface, and ways to
// read back the log and what the program left in its folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "app/frmPrincipale.h"
#include "platform/Cp1252.h"
#include "platform/mdlLogInstallazione.h"
#include "platform/posix/Percorsi.h"
#include "support/DriveDiProva.h"
#include "support/LogDiProva.h"
#include "support/InterfacciaDiProva.h"

namespace noce::prova {

// Sets an environment variable for the length of a test.
class Variabile {
public:
    Variabile(const char* nome, const std::string& valore) : nome_(nome) {
        if (const char* v = std::getenv(nome)) precedente_ = v, c_era_ = true;
        setenv(nome, valore.c_str(), 1);
    }
    ~Variabile() {
        if (c_era_) setenv(nome_, precedente_.c_str(), 1);
        else unsetenv(nome_);
    }
    Variabile(const Variabile&) = delete;
    Variabile& operator=(const Variabile&) = delete;

private:
    const char* nome_;
    std::string precedente_;
    bool c_era_ = false;
};

class Installatore {
public:
    // `relativo`: the installer folder below drive c:, as the host sees it.
    explicit Installatore(const std::string& relativo = "Setup")
        : relativo_(relativo), cartella_(Windows(relativo)), variabile_("NOCE_CARTELLA_PROGRAMMA", cartella_) {
        // The folder discovery of start-up logs before the log is emptied;
        // let it log there rather than on the test's standard error.
        std::filesystem::create_directories(drive.Host(relativo_ + "/files"));
        DirFiles = cartella_ + "\\files";
        form = std::make_unique<frmPrincipale>(ui);
        form->Form_Load();
    }
    ~Installatore() {
        // Children the test started and did not wait for.
        while (waitpid(-1, nullptr, WNOHANG) > 0) {
        }
        DirFiles.clear();
    }
    Installatore(const Installatore&) = delete;
    Installatore& operator=(const Installatore&) = delete;

    static std::string Windows(const std::string& relativo) {
        std::string w = "C:\\" + relativo;
        for (auto& c : w)
            if (c == '/') c = '\\';
        return w;
    }

    // The installer folder as the program names it ("C:\Setup").
    const std::string& Cartella() const { return cartella_; }
    // The host path of a file in the installer folder.
    std::string Host(const std::string& nome) const { return drive.Host(relativo_ + "/" + nome); }
    bool Esiste(const std::string& nome) const { return std::filesystem::exists(Host(nome)); }
    void Scrivi(const std::string& nome, const std::string& byte) const { drive.Scrivi(relativo_ + "/" + nome, byte); }
    std::string Leggi(const std::string& nome) const { return drive.Leggi(relativo_ + "/" + nome); }
    // The names in the installer folder, hidden ones included: a temporary
    // file left behind shows here.
    std::vector<std::string> Contenuto() const {
        std::vector<std::string> nomi;
        for (const auto& e : std::filesystem::directory_iterator(drive.Host(relativo_)))
            nomi.push_back(e.path().filename().string());
        std::sort(nomi.begin(), nomi.end());
        return nomi;
    }

    // The log's messages after "Inizio procedura", without time stamps.
    std::vector<std::string> Log() const {
        std::vector<std::string> messaggi = MessaggiLog(drive.Leggi(relativo_ + "/files/logInstallazione.txt"));
        EXPECT_FALSE(messaggi.empty());
        if (!messaggi.empty() && messaggi.front() == "Inizio procedura") messaggi.erase(messaggi.begin());
        return messaggi;
    }

    // Runs a handler; the end of the program is one of its outcomes.
    template <typename F>
    void Esegui(F f) {
        try {
            f();
        } catch (const FineProgramma&) {
        }
    }

    DriveDiProva drive;
    InterfacciaDiProva ui;

private:
    std::string relativo_, cartella_;
    Variabile variabile_;

public:
    std::unique_ptr<frmPrincipale> form;
};

}  // namespace noce::prova
