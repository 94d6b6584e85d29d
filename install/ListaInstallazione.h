#pragma once
// The install list "Lista.txt": three sections of entries between marker
// lines, read one section per pass into the window's working list.
#include <string>
#include <vector>

#include "app/Controlli.h"

namespace noce {

// The markers of the three sections.
inline constexpr const char* AperturaDirectories = "<directories>";
inline constexpr const char* ChiusuraDirectories = "</directories>";
inline constexpr const char* AperturaComponents = "<components>";
inline constexpr const char* ChiusuraComponents = "</components>";
inline constexpr const char* AperturaFiles = "<files>";
inline constexpr const char* ChiusuraFiles = "</files>";

// The working list's index is a signed 16-bit number: this many entries at
// most.
inline constexpr int CapienzaLista = 32767;

// The lines of a text as the runtime's line input splits them: CR LF and a
// lone CR end a line, a lone LF is an ordinary character, a last line
// without terminator is still a line. Nothing is trimmed.
std::vector<std::string> RigheLista(const std::string& testo);

// One section pass: reads the file `percorso` afresh and appends every line
// strictly between `apertura` and the next `chiusura` to `lista`, in file
// order, logging "Metto in lista: " + entry before each. A section that
// would hold more than CapienzaLista entries fails with the runtime's
// overflow error; the entries before it stay in the list.
void LeggiSezioneLista(Controllo& lista, const std::string& percorso, const std::string& apertura,
                       const std::string& chiusura);

}  // namespace noce
