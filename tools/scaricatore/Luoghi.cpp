#include "Luoghi.h"

#include "platform/PercorsiHost.h"

namespace scaricatore {

std::string FileAccanto(const std::string& nome) {
    return noce::sistema::PercorsoHost(noce::sistema::PercorsoWindows(noce::sistema::CartellaEseguibile()) + "\\" + nome);
}

std::string PercorsoLocale(const std::string& percorsoWindows) { return noce::sistema::PercorsoHost(percorsoWindows); }

}  // namespace scaricatore
