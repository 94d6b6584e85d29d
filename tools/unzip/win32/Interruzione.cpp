#include "../Interruzione.h"

#include <windows.h>

#include "../CodiciUscita.h"

namespace estrattore::interruzione {

namespace {

// The file being written is marked for deletion until it is complete, so
// ending the process is all it takes: the system closes the handle and the
// file goes with it.
BOOL WINAPI AlSegnale(DWORD) { ExitProcess(Interrotto); }

}  // namespace

void Installa() { SetConsoleCtrlHandler(AlSegnale, TRUE); }
void Ricorda(const std::string&) {}
void Dimentica() {}

}  // namespace estrattore::interruzione
