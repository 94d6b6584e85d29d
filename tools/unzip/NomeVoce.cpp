#include "NomeVoce.h"

namespace estrattore {

namespace {

bool Separatore(char c) { return c == '/' || c == '\\'; }

}  // namespace

NomeVoce LeggiNomeVoce(const std::string& nome) {
    NomeVoce v;
    if (nome.empty()) {
        v.rifiuto = "nome vuoto";
        return v;
    }
    if (Separatore(nome[0])) {
        v.rifiuto = "percorso assoluto";
        return v;
    }
    if (nome.size() >= 2 && nome[1] == ':') {
        v.rifiuto = "percorso con lettera di unità";
        return v;
    }
    v.cartella = Separatore(nome.back());
    std::string parte;
    for (std::size_t i = 0; i <= nome.size(); ++i) {
        if (i < nome.size() && !Separatore(nome[i])) {
            parte += nome[i];
            continue;
        }
        if (parte.empty() || parte == ".") {
            parte.clear();
            continue;
        }
        if (parte.find_first_not_of(". ") == std::string::npos) {
            v.rifiuto = "percorso che risale fuori dalla cartella (\"" + parte + "\")";
            return v;
        }
        for (unsigned char c : parte) {
            if (c == ':' || c < 0x20) {
                v.rifiuto = "carattere non ammesso in un nome";
                return v;
            }
        }
        v.parti.push_back(parte);
        parte.clear();
    }
    // "./" and the like name the folder itself: nothing to do, no fault.
    return v;
}

}  // namespace estrattore
