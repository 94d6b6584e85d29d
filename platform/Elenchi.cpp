// The folder listings the installer asks for, on the one listing each
// platform provides.
#include "Sistema.h"

namespace noce::sistema {

std::vector<std::string> Elenco(const std::string& cartella, const std::function<bool(const VoceCartella&)>& filtro) {
    std::vector<std::string> nomi;
    for (const VoceCartella& v : VociCartella(cartella))
        if (filtro(v)) nomi.push_back(v.nome);
    return nomi;
}

std::vector<std::string> ElencoFile(const std::string& cartella) {
    return Elenco(cartella, [](const VoceCartella& v) { return v.tipo == TipoVoce::File && !v.nascosta; });
}

std::vector<std::string> ElencoCartelle(const std::string& cartella) {
    return Elenco(cartella, [](const VoceCartella& v) { return v.tipo == TipoVoce::Cartella; });
}

}  // namespace noce::sistema
