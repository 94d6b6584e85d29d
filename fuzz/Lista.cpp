// The install list: any bytes as "Lista.txt", each of its three sections
// read in turn. An entry never holds a line end or a section marker.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/Controlli.h"
#include "install/ListaInstallazione.h"
#include "platform/Errori.h"
#include "platform/posix/Percorsi.h"

namespace {

std::string percorsoLista;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char modello[] = "/tmp/noce-fuzz-lista-XXXXXX";
    std::string drive = mkdtemp(modello);
    setenv("NOCE_DRIVE_C", drive.c_str(), 1);
    std::atexit([] { std::filesystem::remove_all(std::getenv("NOCE_DRIVE_C")); });
    percorsoLista = noce::posix::PercorsoWindows(drive + "/Lista.txt");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    const std::string testo(reinterpret_cast<const char*>(dati), n);
    std::ofstream(noce::posix::PercorsoHost(percorsoLista), std::ios::binary | std::ios::trunc) << testo;
    const char* sezioni[][2] = {{noce::AperturaDirectories, noce::ChiusuraDirectories},
                                {noce::AperturaComponents, noce::ChiusuraComponents},
                                {noce::AperturaFiles, noce::ChiusuraFiles}};
    for (const auto& s : sezioni) {
        noce::Controllo lista;
        try {
            noce::LeggiSezioneLista(lista, percorsoLista, s[0], s[1]);
        } catch (const noce::ErroreRuntime&) {
            // A section past the list's capacity: the runtime's overflow.
        }
        for (const std::string& voce : lista.Elementi)
            if (voce.find('\r') != std::string::npos || voce == s[0] || voce == s[1]) std::abort();
    }
    return 0;
}
