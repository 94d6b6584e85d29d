#include "Opzioni.h"

#include <cstdlib>

#include "CartelleBuild.h"

namespace server {

namespace {

bool Numero(const std::string& testo, long minimo, long massimo, long& valore) {
    if (testo.empty()) return false;
    char* fine = nullptr;
    long v = std::strtol(testo.c_str(), &fine, 10);
    if (*fine != 0 || v < minimo || v > massimo) return false;
    valore = v;
    return true;
}

}  // namespace

std::optional<Opzioni> LeggiOpzioni(int argc, const char* const* argv, std::string& errore) {
    Opzioni o;
    o.radice = noce::CartellaContenutiServer;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        std::string valore;
        auto uguale = a.find('=');
        bool unito = a.rfind("--", 0) == 0 && uguale != std::string::npos;
        if (unito) {
            valore = a.substr(uguale + 1);
            a = a.substr(0, uguale);
        } else if (a == "--port" || a == "--root" || a == "--bind" || a == "--durata" || a == "--attesa-ms" ||
                   a == "--testa-ms" || a == "--connessioni") {
            if (i + 1 >= argc) {
                errore = a + " vuole un valore";
                return std::nullopt;
            }
            valore = argv[++i];
        }
        long n = 0;
        if (a == "--port") {
            if (!Numero(valore, 0, 65535, n)) {
                errore = "porta non valida: " + valore;
                return std::nullopt;
            }
            o.porta = static_cast<int>(n);
        } else if (a == "--durata") {
            if (!Numero(valore, 0, 1L << 30, n)) {
                errore = "durata non valida: " + valore;
                return std::nullopt;
            }
            o.durataS = n;
        } else if (a == "--attesa-ms" || a == "--testa-ms" || a == "--connessioni") {
            if (!Numero(valore, 1, 1L << 30, n)) {
                errore = a.substr(2) + " non valido: " + valore;
                return std::nullopt;
            }
            (a == "--attesa-ms" ? o.attesaMs : a == "--testa-ms" ? o.testaMs : o.connessioni) = static_cast<int>(n);
        } else if (a == "--root") {
            o.radice = valore;
        } else if (a == "--bind") {
            o.indirizzo = valore;
        } else {
            errore = "opzione sconosciuta: " + a;
            return std::nullopt;
        }
    }
    return o;
}

}  // namespace server
