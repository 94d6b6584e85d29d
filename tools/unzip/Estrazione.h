#pragma once
// One file entry of the archive onto disk: written under a hidden
// temporary name in its folder, checked against its CRC and size, and only
// then renamed over the final name. A corrupt entry leaves nothing behind,
// and one that inflates past the size it declares is stopped there.
#include <zip.h>

#include <string>
#include <vector>

namespace estrattore {

struct EsitoVoce {
    enum class Tipo { Fatto, Saltato, Errore, DiscoPieno } tipo = Tipo::Fatto;
    std::string messaggio;
};

struct Voce {
    zip_uint64_t indice = 0;
    zip_stat_t stat{};
    bool eseguibile = false;  // the archive gives it an execute bit
};

EsitoVoce EstraiFile(zip_t* archivio, const Voce& voce, const std::string& cartella, const std::string& finale,
                     std::vector<char>& buffer);

}  // namespace estrattore
