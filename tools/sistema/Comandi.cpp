#include "Comandi.h"

#include <iostream>

#include "platform/Errori.h"
#include "platform/Sistema.h"
#include "platform/Minuscolo.h"

namespace noce::comandi {

std::vector<std::string> Parole(const std::string& riga) {
    std::vector<std::string> parole;
    std::string corrente;
    bool inParola = false, virgolette = false;
    for (char c : riga) {
        if (c == '"') {
            virgolette = !virgolette;
            inParola = true;
        } else if (!virgolette && (c == ' ' || c == '\t')) {
            if (inParola) parole.push_back(corrente);
            corrente.clear();
            inParola = false;
        } else {
            corrente += c;
            inParola = true;
        }
    }
    if (inParola) parole.push_back(corrente);
    return parole;
}

std::optional<std::string> Chiedi(const std::string& domanda) {
    std::cout << domanda << std::flush;
    std::string risposta;
    if (!std::getline(std::cin, risposta)) {
        std::cout << "\n";
        return std::nullopt;
    }
    if (!risposta.empty() && risposta.back() == '\r') risposta.pop_back();
    return risposta;
}

bool UgualeSenzaCaso(const std::string& a, const std::string& b) {
    return noce::MinuscoloNome(a) == noce::MinuscoloNome(b);
}

std::string Maiuscolo(std::string s) {
    for (auto& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

std::string Messaggio(const std::exception& e) {
    auto c = CatturaErrore(e);
    switch (c.numero) {
    case err::AutorizzazioneNegata: return "Accesso negato.";
    case err::FileNonTrovato: return "Impossibile trovare il file specificato.";
    case err::PercorsoNonTrovato: return "Impossibile trovare il percorso specificato.";
    case err::DiscoPieno: return "Spazio su disco insufficiente.";
    default: return c.descrizione;
    }
}

bool EsisteSoloCartella(const std::string& p) {
    if (!sistema::EsisteCartella(p) || sistema::EsisteFile(p)) return false;
    try {
        sistema::ElencoFile(p);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void CreaCartelle(const std::string& p) {
    std::string c = p;
    while (c.size() > 3 && (c.back() == '\\' || c.back() == '/')) c.pop_back();
    if (EsisteSoloCartella(c)) return;
    auto barra = c.find_last_of("\\/");
    if (barra != std::string::npos && barra > 0) {
        std::string genitore = c.substr(0, barra);
        if (genitore.size() == 2 && genitore[1] == ':') genitore += '\\';
        if (genitore != c) CreaCartelle(genitore);
    }
    sistema::CreaCartella(c);
}

}  // namespace noce::comandi
