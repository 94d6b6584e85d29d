// The command-line splitter and the Windows path resolution.
//
// Splitting: what ArgomentiCrt returns, quoted back the way the Microsoft
// runtime's rules ask, must split into the same arguments. Paths: a path
// on drive C: resolves inside the drive folder, whatever ".." it holds.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/posix/Percorsi.h"
#include "platform/posix/Processi.h"

namespace {

std::string drive;

std::string Quotato(const std::string& a) {
    std::string r = "\"";
    std::size_t barre = 0;
    for (char c : a) {
        if (c == '\\') {
            ++barre;
            continue;
        }
        r.append(c == '"' ? 2 * barre + 1 : barre, '\\');
        barre = 0;
        r += c;
    }
    r.append(2 * barre, '\\');
    return r + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char modello[] = "/tmp/noce-fuzz-drive-XXXXXX";
    drive = mkdtemp(modello);
    setenv("NOCE_DRIVE_C", drive.c_str(), 1);
    std::atexit([] { std::filesystem::remove_all(std::getenv("NOCE_DRIVE_C")); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    const std::string testo(reinterpret_cast<const char*>(dati), n);
    if (testo.find('\0') != std::string::npos) return -1;

    const std::vector<std::string> argomenti = noce::posix::ArgomentiCrt(testo);
    std::string riga;
    for (const auto& a : argomenti) riga += (riga.empty() ? "" : " ") + Quotato(a);
    if (noce::posix::ArgomentiCrt(riga) != argomenti) std::abort();

    const std::string host = noce::posix::PercorsoHost("C:\\" + testo);
    const std::string radice = noce::posix::CartellaDriveCGrezza();
    if (host != radice && host.compare(0, radice.size() + 1, radice + "/") != 0) std::abort();
    return 0;
}
