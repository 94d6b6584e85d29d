#include "Processi.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>

#include "../Minuscolo.h"
#include "../Sistema.h"
#include "ElenchiCartelle.h"
#include "Percorsi.h"

extern char** environ;

namespace noce::posix {

namespace {

bool FileRegolare(const std::string& host) {
    struct stat st;
    return stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool HaEstensione(const std::string& nome) {
    auto barra = nome.find_last_of("\\/");
    auto punto = nome.rfind('.');
    return punto != std::string::npos && (barra == std::string::npos || punto > barra);
}

bool HaPercorso(const std::string& nome) {
    return nome.find_first_of("\\/") != std::string::npos || (nome.size() >= 2 && nome[1] == ':');
}

// The host file a program name stands for, searched as CreateProcess does.
std::optional<std::string> CercaFile(const std::string& nome) {
    std::string conEstensione = HaEstensione(nome) ? nome : nome + ".exe";
    if (HaPercorso(nome)) {
        std::string h = PercorsoHost(conEstensione);
        if (FileRegolare(h)) return h;
        return std::nullopt;
    }
    char buf[PATH_MAX];
    std::string cwd = getcwd(buf, sizeof buf) ? buf : ".";
    std::string cartelle[] = {PercorsoHost(sistema::CartellaProgramma()), cwd, PercorsoHost("C:\\Windows\\System32")};
    for (const auto& c : cartelle) {
        std::string h = PercorsoHost(PercorsoWindows(c) + "\\" + conEstensione);
        if (FileRegolare(h)) return h;
    }
    if (const char* path = std::getenv("PATH")) {
        std::string p = path;
        std::size_t inizio = 0;
        while (inizio <= p.size()) {
            auto fine = p.find(':', inizio);
            std::string c = p.substr(inizio, fine == std::string::npos ? std::string::npos : fine - inizio);
            if (!c.empty()) {
                for (const std::string& n : {conEstensione, nome}) {
                    std::string h = c + "/" + n;
                    if (FileRegolare(h) && ::access(h.c_str(), X_OK) == 0) return h;
                }
            }
            if (fine == std::string::npos) break;
            inizio = fine + 1;
        }
    }
    return std::nullopt;
}

std::optional<ProgrammaTrovato> Completa(const std::string& host, const std::string& argv0, const std::string& resto) {
    ProgrammaTrovato p{host, argv0, ArgomentiCrt(resto)};
    std::string est = MinuscoloNome(host.substr(host.size() >= 4 ? host.size() - 4 : 0));
    if (est == ".bat" || est == ".cmd") {
        auto cmd = CercaFile("C:\\Windows\\System32\\cmd.exe");
        if (!cmd) return std::nullopt;
        std::vector<std::string> a = {"/c", PercorsoWindows(host)};
        a.insert(a.end(), p.argomenti.begin(), p.argomenti.end());
        return ProgrammaTrovato{*cmd, "cmd.exe", a};
    }
    return p;
}

}  // namespace

std::vector<std::string> ArgomentiCrt(const std::string& s) {
    std::vector<std::string> argomenti;
    std::size_t i = 0;
    const std::size_t n = s.size();
    for (;;) {
        while (i < n && (s[i] == ' ' || s[i] == '\t')) ++i;
        if (i >= n) break;
        std::string a;
        bool virgolette = false;
        while (i < n) {
            char c = s[i];
            if (!virgolette && (c == ' ' || c == '\t')) break;
            if (c == '\\') {
                std::size_t barre = 0;
                while (i < n && s[i] == '\\') {
                    ++barre;
                    ++i;
                }
                if (i < n && s[i] == '"') {
                    a.append(barre / 2, '\\');
                    if (barre % 2 == 1) {
                        a += '"';
                        ++i;
                    }
                } else {
                    a.append(barre, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (virgolette && i + 1 < n && s[i + 1] == '"') {
                    a += '"';
                    i += 2;
                    continue;
                }
                virgolette = !virgolette;
                ++i;
                continue;
            }
            a += c;
            ++i;
        }
        argomenti.push_back(a);
    }
    return argomenti;
}

std::optional<ProgrammaTrovato> TrovaProgramma(const std::string& riga) {
    std::size_t i = 0;
    while (i < riga.size() && (riga[i] == ' ' || riga[i] == '\t')) ++i;
    if (i >= riga.size()) return std::nullopt;
    if (riga[i] == '"') {
        auto chiusa = riga.find('"', i + 1);
        std::string nome = riga.substr(i + 1, chiusa == std::string::npos ? std::string::npos : chiusa - i - 1);
        std::string resto = chiusa == std::string::npos ? "" : riga.substr(chiusa + 1);
        auto h = CercaFile(nome);
        if (!h) return std::nullopt;
        return Completa(*h, nome, resto);
    }
    // Unquoted: "C:\Program Files\x.exe a" is tried as "C:\Program", then
    // "C:\Program Files\x.exe", and so on, the first that exists winning.
    std::size_t fine = i;
    for (;;) {
        fine = riga.find_first_of(" \t", fine);
        std::string nome = riga.substr(i, fine == std::string::npos ? std::string::npos : fine - i);
        if (auto h = CercaFile(nome)) return Completa(*h, nome, fine == std::string::npos ? "" : riga.substr(fine));
        if (fine == std::string::npos) return std::nullopt;
        while (fine < riga.size() && (riga[fine] == ' ' || riga[fine] == '\t')) ++fine;
        if (fine >= riga.size()) return std::nullopt;
    }
}

}  // namespace noce::posix

namespace noce::sistema {

namespace {

// Starts a program found for a command line; -1 when it cannot start.
pid_t Avvia(const std::string& riga) {
    auto p = posix::TrovaProgramma(riga);
    if (!p) return -1;
    // From now on the program may change any folder.
    posix::DimenticaElenchi();
    // Windows runs any .exe; the bootstrap and the downloader save plain
    // files, so the execute bit is given here. Only to an .exe: a data file
    // named as a program does not become one.
    if (MinuscoloNome(p->host).ends_with(".exe") && ::access(p->host.c_str(), X_OK) != 0) {
        struct stat st;
        if (stat(p->host.c_str(), &st) == 0) ::chmod(p->host.c_str(), st.st_mode | S_IXUSR | S_IXGRP | S_IXOTH);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(p->argv0.c_str()));
    for (auto& a : p->argomenti) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawn(&pid, p->host.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

// The programs started and still running. A thread of its own waits for
// each one, so it is reaped the moment it ends even when nobody asks (the
// help page's browser, a downloader the cycle has stopped looking at).
// Never destroyed: a waiting thread may outlive the statics at exit.
struct Seguiti {
    std::mutex m;
    std::condition_variable finito;
    std::set<pid_t> inCorso;
};

Seguiti& Tabella() {
    static auto* t = new Seguiti;
    return *t;
}

void Segui(pid_t pid) {
    {
        std::lock_guard<std::mutex> l(Tabella().m);
        Tabella().inCorso.insert(pid);
    }
    std::thread([pid] {
        int stato;
        while (waitpid(pid, &stato, 0) < 0 && errno == EINTR) {
        }
        std::lock_guard<std::mutex> l(Tabella().m);
        Tabella().inCorso.erase(pid);
        Tabella().finito.notify_all();
    }).detach();
}

}  // namespace

std::int64_t AvviaProgramma(const std::string& riga, StileFinestra) {
    pid_t pid = Avvia(riga);
    if (pid < 0) throw ErroreDi(err::FileNonTrovato);
    Segui(pid);
    return pid;
}

bool AttendiProgramma(std::int64_t processo, std::uint32_t ms) {
    auto& t = Tabella();
    std::unique_lock<std::mutex> l(t.m);
    auto finito = [&] { return t.inCorso.count(static_cast<pid_t>(processo)) == 0; };
    // Whatever it did to the folders while it ran shows from now on.
    if (ms == SenzaLimite) {
        t.finito.wait(l, finito);
        posix::DimenticaElenchi();
        return true;
    }
    bool fine = t.finito.wait_for(l, std::chrono::milliseconds(ms), finito);
    posix::DimenticaElenchi();
    return fine;
}

bool ProgrammaTerminato(std::int64_t processo) { return AttendiProgramma(processo, 0); }

bool AvviaEAttendi(const std::string& riga) {
    pid_t pid = Avvia(riga);
    if (pid < 0) return false;
    int stato;
    while (waitpid(pid, &stato, 0) < 0 && errno == EINTR) {
    }
    posix::DimenticaElenchi();
    return true;
}

}  // namespace noce::sistema
