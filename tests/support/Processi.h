#pragma once
// Child processes for the tests: the environment of the test with the
// test's own variables, standard input, output and error through files,
// every wait bounded.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "support/FileDiProva.h"

extern char** environ;

namespace strumenti {

using namespace std::chrono_literals;

class Processo {
public:
    // Starts `argv` with `ambiente` ("NAME=value") added to the test's own
    // environment ("NAME=" alone takes NAME away); standard input comes from
    // the file `ingresso`, output and error go to the files named, or
    // nowhere; `cartella`, when given, is the child's current folder.
    Processo(const std::vector<std::string>& argv, const std::vector<std::string>& ambiente = {},
             const std::string& uscita = "/dev/null", const std::string& errori = "/dev/null",
             const std::string& ingresso = "/dev/null", const std::string& cartella = "") {
        // Later entries win, the test's over the inherited ones.
        std::vector<std::string> amb;
        for (char** e = environ; *e; ++e) amb.push_back(*e);
        for (const auto& a : ambiente) {
            const std::string nome = a.substr(0, a.find('=') + 1);
            std::erase_if(amb, [&](const std::string& v) { return v.compare(0, nome.size(), nome) == 0; });
            if (nome.size() != a.size()) amb.push_back(a);
        }
        std::vector<char*> a, e;
        for (const auto& s : argv) a.push_back(const_cast<char*>(s.c_str()));
        a.push_back(nullptr);
        for (const auto& s : amb) e.push_back(const_cast<char*>(s.c_str()));
        e.push_back(nullptr);
        posix_spawn_file_actions_t azioni;
        posix_spawn_file_actions_init(&azioni);
        posix_spawn_file_actions_addopen(&azioni, 0, ingresso.c_str(), O_RDONLY, 0);
        if (!cartella.empty()) posix_spawn_file_actions_addchdir_np(&azioni, cartella.c_str());
        posix_spawn_file_actions_addopen(&azioni, 1, uscita.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&azioni, 2, errori.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&pid_, a[0], &azioni, nullptr, a.data(), e.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&azioni);
    }
    ~Processo() {
        if (pid_ > 0 && !finito_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    Processo(const Processo&) = delete;
    Processo& operator=(const Processo&) = delete;

    bool Avviato() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    void Segnale(int s) const { kill(pid_, s); }

    // The exit status (128 + signal for a signal), or -1 when the process
    // is still running after `limite`; then it is killed.
    int Attendi(std::chrono::milliseconds limite = 30s) {
        if (pid_ <= 0) return -1;
        auto fine = std::chrono::steady_clock::now() + limite;
        for (;;) {
            int stato = 0;
            pid_t r = waitpid(pid_, &stato, WNOHANG);
            if (r == pid_) {
                finito_ = true;
                return WIFEXITED(stato) ? WEXITSTATUS(stato) : 128 + WTERMSIG(stato);
            }
            if (std::chrono::steady_clock::now() > fine) {
                kill(pid_, SIGKILL);
                waitpid(pid_, nullptr, 0);
                finito_ = true;
                return -1;
            }
            std::this_thread::sleep_for(5ms);
        }
    }
    bool Finito() {
        if (finito_) return true;
        int stato = 0;
        if (waitpid(pid_, &stato, WNOHANG) == pid_) {
            finito_ = true;
            codice_ = WIFEXITED(stato) ? WEXITSTATUS(stato) : 128 + WTERMSIG(stato);
        }
        return finito_;
    }

private:
    pid_t pid_ = -1;
    bool finito_ = false;
    int codice_ = -1;
};

inline int Esegui(const std::vector<std::string>& argv, const std::vector<std::string>& ambiente = {},
                  std::chrono::milliseconds limite = 30s, const std::string& errori = "/dev/null") {
    Processo p(argv, ambiente, "/dev/null", errori);
    return p.Attendi(limite);
}

}  // namespace strumenti

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
