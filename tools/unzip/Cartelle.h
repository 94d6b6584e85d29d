#pragma once
// The folders of the target tree, found without regard to letter case as
// Windows finds them, and created where missing with the spelling the
// archive gives. Each folder is read once: thousands of entries into one
// folder must not mean thousands of directory scans.
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace estrattore {

class Cartelle {
public:
    // `radice` is the host folder to unpack into; it is created if missing.
    // Throws std::system_error when it cannot be.
    explicit Cartelle(std::string radice);

    // The host folder for the first `n` components of `parti`, created level
    // by level. A plain file or a link in the way is a failure
    // (std::system_error): a link could lead out of the target folder.
    std::string Cartella(const std::vector<std::string>& parti, std::size_t n);

    // The host name of `nome` inside host folder `cartella`: its present
    // entry when one matches (the exact spelling first), else `nome`.
    std::string Nome(const std::string& cartella, const std::string& nome);
    // A name now present in `cartella`.
    void Aggiunto(const std::string& cartella, const std::string& nome);

private:
    struct Contenuto {
        std::unordered_set<std::string> esatti;
        std::unordered_map<std::string, std::string> perMinuscolo;  // the first in byte order
    };
    Contenuto& Leggi(const std::string& cartella);

    std::string radice_;
    std::unordered_map<std::string, Contenuto> contenuti_;
    std::unordered_map<std::string, std::string> cartelle_;  // folded relative path -> host folder
};

}  // namespace estrattore
