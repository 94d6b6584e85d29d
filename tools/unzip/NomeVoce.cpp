#include "NomeVoce.h"

#include <cstring>

namespace estrattore {

namespace {

bool Separatore(char c) { return c == '/' || c == '\\'; }

char Maiuscola(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// CON, PRN, AUX, NUL, COM1-9, LPT1-9: Windows opens the device whatever
// follows the first dot ("aux.txt", "Con.tar.gz") and trims the blanks
// before it ("nul .txt").
bool NomeDiDispositivo(const std::string& parte) {
    std::string base = parte.substr(0, parte.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = Maiuscola(c);
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

// Why Windows cannot hold `parte` as a file or folder name; empty when it can.
std::string NonAmmesso(const std::string& parte) {
    if (parte.find_first_not_of(". ") == std::string::npos)
        return "percorso che risale fuori dalla cartella (\"" + parte + "\")";
    for (unsigned char c : parte)
        if (c < 0x20 || (c < 0x80 && std::strchr(":<>\"|?*", c))) return "carattere non ammesso in un nome";
    // Windows drops a final dot or blank, so the file would take another
    // entry's name, or none it could be opened by.
    if (parte.back() == '.' || parte.back() == ' ')
        return "nome che finisce con un punto o uno spazio (\"" + parte + "\")";
    if (NomeDiDispositivo(parte)) return "nome riservato a un dispositivo di Windows (\"" + parte + "\")";
    return {};
}

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
        v.rifiuto = NonAmmesso(parte);
        if (!v.rifiuto.empty()) {
            v.parti.clear();
            return v;
        }
        v.parti.push_back(parte);
        parte.clear();
    }
    // "./" and the like name the folder itself: nothing to do, no fault.
    return v;
}

}  // namespace estrattore
