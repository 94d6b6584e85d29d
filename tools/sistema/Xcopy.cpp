// XCOPY as a batch file uses it: files of a folder, a pattern or a single
// file, into a folder (created when the command makes clear it is one) or
// onto a file, with the Italian console texts.
#include <iostream>

#include "Comandi.h"
#include "platform/Sistema.h"
#include "platform/Minuscolo.h"

namespace noce::comandi {

namespace {

bool Separatore(char c) { return c == '\\' || c == '/'; }

std::string Unisci(const std::string& cartella, const std::string& nome) {
    if (cartella.empty() || cartella == ".") return nome;
    return cartella + (Separatore(cartella.back()) ? "" : "\\") + nome;
}

// Windows patterns: "*" any run, "?" one character, no regard to case;
// "*.*" matches names without a dot too.
bool Corrisponde(const std::string& modello, const std::string& nome) {
    if (modello == "*.*") return true;
    std::string m = noce::MinuscoloNome(modello), n = noce::MinuscoloNome(nome);
    std::size_t i = 0, j = 0, stella = std::string::npos, ritorno = 0;
    while (j < n.size()) {
        if (i < m.size() && (m[i] == '?' || m[i] == n[j])) {
            ++i;
            ++j;
        } else if (i < m.size() && m[i] == '*') {
            stella = i++;
            ritorno = j;
        } else if (stella != std::string::npos) {
            i = stella + 1;
            j = ++ritorno;
        } else {
            return false;
        }
    }
    while (i < m.size() && m[i] == '*') ++i;
    return i == m.size();
}

struct Sorgente {
    std::string cartella;            // where the names are
    std::vector<std::string> nomi;   // the files to copy
    bool multipla = false;           // a folder or a pattern, not one file
    bool trovata = false;
};

Sorgente LeggiSorgente(const std::string& s) {
    Sorgente r;
    auto barra = s.find_last_of("\\/");
    std::string ultimo = barra == std::string::npos ? s : s.substr(barra + 1);
    std::string genitore = barra == std::string::npos ? "." : s.substr(0, barra + 1);
    try {
        if (ultimo.empty()) {
            // "C:\Setup\files\": the folder's files.
            if (!EsisteSoloCartella(s)) return r;
            r.cartella = s;
            r.nomi = sistema::ElencoFile(s);
            r.multipla = r.trovata = true;
        } else if (ultimo.find_first_of("*?") != std::string::npos) {
            if (!EsisteSoloCartella(genitore)) return r;
            r.cartella = genitore;
            for (auto& n : sistema::ElencoFile(genitore))
                if (Corrisponde(ultimo, n)) r.nomi.push_back(n);
            r.multipla = r.trovata = true;
        } else if (sistema::EsisteFile(s)) {
            r.cartella = barra == std::string::npos ? "." : genitore;
            r.nomi = {ultimo};
            r.trovata = true;
        } else if (EsisteSoloCartella(s)) {
            r.cartella = s;
            r.nomi = sistema::ElencoFile(s);
            r.multipla = r.trovata = true;
        }
    } catch (const std::exception&) {
        r.trovata = false;
    }
    return r;
}

int Fine(int copiati, int codice) {
    std::cout << copiati << " File copiati" << std::endl;
    return codice;
}

}  // namespace

int Xcopy(const std::vector<std::string>& parole) {
    std::vector<std::string> percorsi;
    bool sovrascrivi = false, continua = false, cartellaSeManca = false, silenzioso = false, completo = false;
    for (const auto& p : parole) {
        if (!p.empty() && p[0] == '/') {
            std::string o = Maiuscolo(p);
            if (o == "/Y") sovrascrivi = true;
            else if (o == "/-Y") sovrascrivi = false;
            else if (o == "/C") continua = true;
            else if (o == "/I") cartellaSeManca = true;
            else if (o == "/Q") silenzioso = true;
            else if (o == "/F") completo = true;
            else {
                std::cerr << "Opzione non valida - " << p << std::endl;
                return Fine(0, 4);
            }
        } else {
            percorsi.push_back(p);
        }
    }
    if (percorsi.empty() || percorsi.size() > 2) {
        std::cerr << "Numero di parametri non valido" << std::endl;
        return Fine(0, 4);
    }

    Sorgente s = LeggiSorgente(percorsi[0]);
    if (!s.trovata) {
        auto barra = percorsi[0].find_last_of("\\/");
        std::cerr << "File non trovato - " << (barra == std::string::npos ? percorsi[0] : percorsi[0].substr(barra + 1))
                  << std::endl;
        return Fine(0, 4);
    }
    if (s.nomi.empty()) {
        std::cerr << "File non trovato - *.*" << std::endl;
        return Fine(0, 1);
    }

    // Where the copies go: a folder when the command says so (a trailing
    // backslash, an existing folder, several files, /I); otherwise XCOPY
    // asks, as the name alone cannot tell.
    std::string dest = percorsi.size() > 1 ? percorsi[1] : ".";
    bool inCartella;
    if (Separatore(dest.back()) || EsisteSoloCartella(dest)) inCartella = true;
    else if (sistema::EsisteCartella(dest)) inCartella = false;
    else if (s.multipla || cartellaSeManca) inCartella = true;
    else {
        for (;;) {
            auto r = Chiedi(dest + " specifica un nome di file\no un nome di directory nella destinazione\n"
                                   "(F = file, D = directory)? ");
            if (!r) return Fine(0, 4);
            std::string a = Maiuscolo(*r);
            if (a == "F" || a == "D") {
                inCartella = a == "D";
                break;
            }
        }
    }
    if (inCartella) {
        try {
            CreaCartelle(dest);
        } catch (const std::exception&) {
            std::cerr << "Impossibile creare la directory - " << dest << std::endl;
            return Fine(0, 4);
        }
    } else if (s.multipla) {
        std::cerr << "Impossibile creare la directory - " << dest << std::endl;
        return Fine(0, 4);
    }

    int copiati = 0;
    bool errori = false;
    for (const auto& nome : s.nomi) {
        std::string da = Unisci(s.cartella, nome);
        std::string a = inCartella ? Unisci(dest, nome) : dest;
        if (!sovrascrivi && sistema::EsisteCartella(a)) {
            auto r = Chiedi("Sovrascrivere " + a + " (Sì/No/Tutti)? ");
            char risposta = r && !r->empty() ? Maiuscolo(*r)[0] : 'N';
            if (risposta == 'T' || risposta == 'A') sovrascrivi = true;
            else if (risposta != 'S' && risposta != 'Y') continue;
        }
        if (!silenzioso) std::cout << (completo ? da + " -> " + a : da) << std::endl;
        try {
            sistema::CopiaFile(da, a);
            ++copiati;
        } catch (const std::exception& e) {
            std::cerr << Messaggio(e) << std::endl;
            errori = true;
            if (!continua) break;
        }
    }
    return Fine(copiati, errori ? 5 : 0);
}

}  // namespace noce::comandi
