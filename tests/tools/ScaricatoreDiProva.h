#pragma once
// The downloader run as the installer runs it, from a folder of an emulated
// drive, against a ServerDiProva; what the tests of its answers share.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/Processi.h"
#include "RisposteDiProva.h"
#include "support/ServerDiProva.h"
#include "support/DriveDiProva.h"

namespace strumenti::scarico {

using namespace std::chrono_literals;

class Scaricatore : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(drive.Host("Setup"));
        std::filesystem::copy_file(NOCE_SCARICATORE, drive.Host("Setup/scaricatore.exe"));
    }

    std::vector<std::string> Ambiente(const ServerDiProva& s) const {
        return {"NOCE_SERVER=" + s.Indirizzo(), "NOCE_SCARICO_STALLO_S=1", "NOCE_SCARICO_CONNESSIONE_S=2",
                "NOCE_SCARICO_TENTATIVI=3", "NOCE_SCARICO_PAUSA_MS=20"};
    }
    std::vector<std::string> Riga(const std::string& remoto, const std::string& locale) const {
        return {drive.Host("Setup/scaricatore.exe"), "-download/" + remoto, "-" + locale};
    }
    int Scarica(const ServerDiProva& s, const std::string& remoto = "lista.txt",
                const std::string& locale = "C:\\Setup\\lista.txt", const std::vector<std::string>& altro = {}) {
        auto ambiente = Ambiente(s);
        ambiente.insert(ambiente.end(), altro.begin(), altro.end());
        return strumenti::Esegui(Riga(remoto, locale), ambiente, 30s, drive.Host("errori.txt"));
    }
    std::string Marcatore() const { return drive.Leggi("Setup/scaricoincorso.max"); }
    // Nothing but the program, the marker, the log and `attesi` in the folder:
    // no temporary file left behind.
    std::set<std::string> FileInSetup() const {
        std::set<std::string> nomi;
        for (auto& e : std::filesystem::directory_iterator(drive.Host("Setup"))) nomi.insert(e.path().filename());
        return nomi;
    }

    noce::prova::DriveDiProva drive;
};

}  // namespace strumenti::scarico
