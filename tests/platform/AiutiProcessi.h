#pragma once
// Running a host program from a test and reading what it wrote; the
// installation log's messages; lnkinfo's view of a shortcut.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/Sistema.h"
#include "platform/mdlLogInstallazione.h"

namespace noce::prova {

struct Esito {
    int codice = -1;
    std::string uscita, errori;
};

inline std::string LeggiFileHost(const std::string& host) {
    std::ifstream in(host, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs `programma` (a host path) with `argomenti`, the text `ingresso` on
// its standard input (then end of input), the extra environment entries
// NAME=VALUE (an entry "NAME=" with nothing after it removes NAME), in the
// folder `cartella` when given.
inline Esito Esegui(const std::string& programma, const std::vector<std::string>& argomenti,
                    const std::string& ingresso = "", const std::vector<std::string>& ambiente = {},
                    const std::string& cartella = "") {
    char modello[] = "/tmp/noce-esito-XXXXXX";
    std::string base = mkdtemp(modello);
    std::string fIn = base + "/in", fOut = base + "/out", fErr = base + "/err";
    std::ofstream(fIn, std::ios::binary) << ingresso;
    pid_t pid = fork();
    if (pid == 0) {
        int i = ::open(fIn.c_str(), O_RDONLY);
        int o = ::open(fOut.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int e = ::open(fErr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(i, 0);
        dup2(o, 1);
        dup2(e, 2);
        for (const auto& a : ambiente) {
            auto uguale = a.find('=');
            if (uguale + 1 == a.size()) unsetenv(a.substr(0, uguale).c_str());
            else setenv(a.substr(0, uguale).c_str(), a.substr(uguale + 1).c_str(), 1);
        }
        if (!cartella.empty() && chdir(cartella.c_str()) != 0) _exit(126);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(programma.c_str()));
        for (const auto& a : argomenti) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(programma.c_str(), argv.data());
        _exit(127);
    }
    int stato = 0;
    waitpid(pid, &stato, 0);
    Esito r;
    r.codice = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
    r.uscita = LeggiFileHost(fOut);
    r.errori = LeggiFileHost(fErr);
    std::string pulisci = "rm -rf '" + base + "'";
    if (std::system(pulisci.c_str()) != 0) {
    }
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
