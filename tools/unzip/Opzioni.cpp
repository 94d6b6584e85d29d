#include "Opzioni.h"

namespace estrattore {

std::optional<Opzioni> LeggiOpzioni(int argc, const char* const* argv, std::string& errore) {
    Opzioni o;
    bool archivio = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a.size() > 1 && a[0] == '-') {
            // Letters may be grouped ("-oq"); -d takes the rest or the next
            // argument, as in Info-ZIP.
            for (std::size_t k = 1; k < a.size(); ++k) {
                char c = a[k];
                if (c == 'o') {
                    o.sostituzione = Opzioni::Sostituzione::Sempre;
                } else if (c == 'n') {
                    o.sostituzione = Opzioni::Sostituzione::Mai;
                } else if (c == 'q') {
                    ++o.silenzio;
                } else if (c == 'd') {
                    if (k + 1 < a.size()) {
                        o.cartella = a.substr(k + 1);
                    } else if (i + 1 < argc) {
                        o.cartella = argv[++i];
                    } else {
                        errore = "-d senza cartella";
                        return std::nullopt;
                    }
                    break;
                } else {
                    errore = std::string("opzione sconosciuta: -") + c;
                    return std::nullopt;
                }
            }
        } else if (!archivio) {
            o.archivio = a;
            archivio = true;
        } else {
            o.nomi.push_back(a);
        }
    }
    if (!archivio) {
        errore = "manca l'archivio";
        return std::nullopt;
    }
    if (o.cartella.empty()) o.cartella = ".";
    return o;
}

}  // namespace estrattore
