// noce.exe: the demo NOCE program the installer puts into C:\Noce.
#include <cstdio>
#include <cstring>

#include "Versione.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--versione") == 0) {
        std::printf("NOCE %d.%d.%d\n", noce::VersioneMaggiore, noce::VersioneMinore, noce::VersioneRevisione);
        return 0;
    }
    std::printf("Benvenuto in NOCE %d.%d.%d!\n", noce::VersioneMaggiore, noce::VersioneMinore,
                noce::VersioneRevisione);
    std::printf("L'installazione è andata a buon fine: buon lavoro.\n");
    return 0;
}
