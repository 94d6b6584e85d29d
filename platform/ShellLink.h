#pragma once
// Shortcut files: the setup toolkit's fCreateShellLink, a Microsoft shell
// link (.lnk) that Windows and any .lnk reader understand.
#include <string>

namespace noce {

// Creates `cartella`\`nome`.lnk pointing at `destinazione` with
// `argomenti`, replacing a shortcut of that name. Texts are cut at their
// first NUL, since callers pass them NUL-terminated as the library expects.
// `destinazione` must be a full path; one without a drive letter
// ("\noce\noce.exe") is taken on drive `unita`. With `flag` zero an
// existing shortcut of that name is kept and the call fails. The working
// folder of the shortcut is the target's folder. Returns 1 when the file
// has been written, 0 otherwise; nothing is thrown.
long fCreateShellLink(const std::string& cartella, const std::string& nome, const std::string& destinazione,
                      const std::string& argomenti, long flag, const std::string& unita);

}  // namespace noce
