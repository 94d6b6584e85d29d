// noce.exe: the demo NOCE program the installer puts into C:\Noce.
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

#include "Versione.h"

int main(int argc, char** argv) {
#ifdef _WIN32
    // The texts are UTF-8; a Windows console shows its own code page otherwise.
    SetConsoleOutputCP(CP_UTF8);
#endif
    if (argc > 1 && std::strcmp(argv[1], "--versione") == 0) {
        std::printf("NOCE %d.%d.%d\n", noce::VersioneMaggiore, noce::VersioneMinore, noce::VersioneRevisione);
        return 0;
    }
    std::printf("Benvenuto in NOCE %d.%d.%d!\n", noce::VersioneMaggiore, noce::VersioneMinore,
                noce::VersioneRevisione);
    std::printf("L'installazione è andata a buon fine: buon lavoro.\n");
    return 0;
}
