#pragma once
// Windows command lines on a Linux host: which program a command line names,
// and the arguments the Microsoft C runtime would hand to it.
#include <optional>
#include <string>
#include <vector>

namespace noce::posix {

// Splits the arguments part of a command line as the Microsoft C runtime
// does: blanks and tabs separate, double quotes group, 2n backslashes before
// a quote give n backslashes and toggle the quoting, 2n+1 give n and a
// literal quote, and a doubled quote inside quotes is a literal quote.
std::vector<std::string> ArgomentiCrt(const std::string& resto);

struct ProgrammaTrovato {
    std::string host;                    // the file to run
    std::string argv0;                   // the program token as written
    std::vector<std::string> argomenti;  // argv[1..]
};

// Finds the program of a command line as the Windows process start does:
// the first token, possibly in double quotes; an unquoted name with blanks
// tried prefix by prefix; ".exe" added to a name without extension; looked
// for in the installer's folder, the current folder, C:\Windows\System32,
// then the host's PATH. A ".bat" or ".cmd" file is run by the emulated
// cmd.exe with "/c". Nothing when no program exists.
std::optional<ProgrammaTrovato> TrovaProgramma(const std::string& riga);

}  // namespace noce::posix
