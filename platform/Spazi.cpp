#include "Spazi.h"

namespace noce {

std::string SenzaSpazi(const std::string& testo) {
    auto inizio = testo.find_first_not_of(" \t");
    if (inizio == std::string::npos) return "";
    auto fine = testo.find_last_not_of(" \t");
    return testo.substr(inizio, fine - inizio + 1);
}

}  // namespace noce
