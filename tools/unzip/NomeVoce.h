#pragma once
// An entry name of the archive as a path inside the target folder.
//
// Both "/" and "\" separate, as on Windows. A name that would land outside
// the folder is refused whole rather than trimmed: an absolute name, a
// drive letter, or a ".." component with either slash. Components made of
// dots and blanks only are refused too, since Windows trims trailing dots
// and blanks and would read ". ." or "..." as a way up. Names Windows
// cannot hold are refused the same way: device names ("CON", "aux.txt"),
// a final dot or blank, and the characters it forbids in a name.
#include <string>
#include <vector>

namespace estrattore {

struct NomeVoce {
    std::vector<std::string> parti;  // the components, in order; none for "./"
    bool cartella = false;           // the name ends with a separator
    std::string rifiuto;             // why it is refused; empty when it is usable
};

NomeVoce LeggiNomeVoce(const std::string& nome);

}  // namespace estrattore
