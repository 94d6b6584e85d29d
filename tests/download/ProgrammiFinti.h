#pragma once
// Stand-ins for the programs the installer starts: shell scripts that note
// the arguments they were given, so a test sees exactly how the command
// line was split, quotes and all.
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace noce::prova {

// Writes a program at `host` that appends its arguments to `registro`, one
// per line, closes the run with a line "--", then runs `poi` (shell).
inline void ScriviProgrammaFinto(const std::string& host, const std::string& registro, const std::string& poi = "") {
    std::ofstream f(host, std::ios::binary);
    f << "#!/bin/sh\n"
      << "for a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '" << registro << "'\n"
      << "printf -- '--\\n' >> '" << registro << "'\n"
      << poi << "\n";
    f.close();
    // Saved as a plain file, the way the bootstrap saves the downloader.
    ::chmod(host.c_str(), 0644);
}

// The argument lists noted, one per run.
inline std::vector<std::vector<std::string>> Avvii(const std::string& registro) {
    std::ifstream in(registro, std::ios::binary);
    std::vector<std::vector<std::string>> avvii;
    std::vector<std::string> corrente;
    std::string riga;
    while (std::getline(in, riga)) {
        if (riga == "--") {
            avvii.push_back(corrente);
            corrente.clear();
        } else {
            corrente.push_back(riga);
        }
    }
    return avvii;
}

// Waits until every child of the test has ended.
inline void AttendiFigli() {
    for (;;) {
        pid_t p = waitpid(-1, nullptr, 0);
        if (p > 0) continue;
        if (p < 0 && errno == EINTR) continue;
        return;
    }
}

// The arguments a command line without quotes hands to its program, which
// is the first `parole` blank-separated words.
inline std::vector<std::string> ParoleDopo(const std::string& riga, std::size_t parole) {
    std::vector<std::string> tutte;
    std::istringstream s(riga);
    for (std::string p; s >> p;) tutte.push_back(p);
    return {tutte.begin() + static_cast<std::ptrdiff_t>(parole), tutte.end()};
}

}  // namespace noce::prova
