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
#include <cstring>
#include <string>
#include <thread>
#include <vector>

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
