#pragma once
// Running a host program from a test and reading what it wrote; the
// installation log's messages; lnkinfo's view of a shortcut.
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

struct Esito {
    int codice = -1;
    std::string uscita, errori;
};

// Runs `programma` (a host path) with `argomenti`, the text `ingresso` on
// its standard input (then end of input), the extra environment entries
// NAME=VALUE (an entry "NAME=" with nothing after it removes NAME), in the
// folder `cartella` when given. A program still running after two minutes
// is killed and its code is -1.
inline Esito Esegui(const std::string& programma, const std::vector<std::string>& argomenti,
                    const std::string& ingresso = "", const std::vector<std::string>& ambiente = {},
                    const std::string& cartella = "") {
    char modello[] = "/tmp/noce-esito-XXXXXX";
    const std::filesystem::path base = mkdtemp(modello);
    std::ofstream(base / "in", std::ios::binary) << ingresso;
    std::vector<std::string> argv = {programma};
    argv.insert(argv.end(), argomenti.begin(), argomenti.end());
    Esito r;
    {
        strumenti::Processo p(argv, ambiente, base / "out", base / "err", base / "in", cartella);
        r.codice = p.Attendi(std::chrono::minutes(2));
    }
    r.uscita = LeggiFile(base / "out");
    r.errori = LeggiFile(base / "err");
    std::error_code ec;
    std::filesystem::remove_all(base, ec);
    return r;
}

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

// lnkinfo's report on a shortcut file (a host path), and the value it
// gives for one of its fields ("Local path", "Working directory").
inline Esito Lnkinfo(const std::string& host) { return Esegui("/usr/bin/lnkinfo", {host}); }

inline std::string CampoLnkinfo(const std::string& rapporto, const std::string& campo) {
    std::istringstream in(rapporto);
    std::string riga;
    while (std::getline(in, riga)) {
        auto k = riga.find_first_not_of('\t');
        if (k == std::string::npos || riga.compare(k, campo.size(), campo) != 0) continue;
        auto due = riga.find(": ", k + campo.size());
        if (due == std::string::npos || riga.find_first_not_of('\t', k + campo.size()) != due) continue;
        return riga.substr(due + 2);
    }
    return "<assente>";
}

}  // namespace noce::prova
