#pragma once
// The installation log's messages, as the platform's tests read them.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/Sistema.h"
#include "platform/mdlLogInstallazione.h"
#include "support/FileDiProva.h"
#include "support/Processi.h"

namespace noce::prova {

// The messages of the installation log in DirFiles, without their stamps.
inline std::vector<std::string> MessaggiLog() {
    std::vector<std::string> messaggi;
    std::string testo;
    try {
        testo = sistema::LeggiTesto(DirFiles + "\\logInstallazione.txt");
    } catch (const std::exception&) {
        return messaggi;
    }
    for (std::size_t inizio = 0, fine; (fine = testo.find("\r\n\r\n", inizio)) != std::string::npos;
         inizio = fine + 4) {
        std::string record = testo.substr(inizio, fine - inizio);
        messaggi.push_back(record.substr(record.find('|', record.find('|') + 1) + 1));
    }
    return messaggi;
}

}  // namespace noce::prova
