#pragma once
// A temporary drive c: for one test: NOCE_DRIVE_C points at a fresh folder
// that is removed again afterwards, and the installer's globals are reset.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/posix/Macchina.h"
#include "platform/posix/Percorsi.h"
#include "support/FileDiProva.h"

namespace noce::prova {

class DriveDiProva {
public:
    DriveDiProva() {
        char modello[] = "/tmp/noce-drive-XXXXXX";
        cartella_ = mkdtemp(modello);
        radice_ = cartella_ + "/drive_c";
        std::filesystem::create_directories(radice_);
        precedente_ = std::getenv("NOCE_DRIVE_C") ? std::getenv("NOCE_DRIVE_C") : "";
        setenv("NOCE_DRIVE_C", radice_.c_str(), 1);
        posix::CartellaDriveC();
    }
    ~DriveDiProva() {
        if (precedente_.empty()) unsetenv("NOCE_DRIVE_C");
        else setenv("NOCE_DRIVE_C", precedente_.c_str(), 1);
        std::error_code ec;
        std::filesystem::remove_all(cartella_, ec);
    }
    DriveDiProva(const DriveDiProva&) = delete;
    DriveDiProva& operator=(const DriveDiProva&) = delete;

    // The host folder of drive c:.
    const std::string& Radice() const { return radice_; }
    // The host path below drive c: ("Setup/files/x.txt").
    std::string Host(const std::string& relativo) const { return radice_ + "/" + relativo; }

    void Scrivi(const std::string& relativo, const std::string& byte) const {
        std::filesystem::create_directories(std::filesystem::path(Host(relativo)).parent_path());
        std::ofstream(Host(relativo), std::ios::binary) << byte;
    }
    std::string Leggi(const std::string& relativo) const { return LeggiFile(Host(relativo)); }
    bool Esiste(const std::string& relativo) const { return std::filesystem::exists(Host(relativo)); }

    void Imposta(const posix::ImpostazioniMacchina& imp) const { posix::ScriviImpostazioni(radice_, imp); }

private:
    std::string cartella_, radice_, precedente_;
};

}  // namespace noce::prova
