#include "Registro.h"

#include <cstdio>
#include <ctime>
#include <mutex>

namespace server {

std::string Sfuggito(const std::string& testo) {
    std::string r;
    for (unsigned char c : testo) {
        if (c < 0x20 || c == 0x7f || c == '"' || c == '\\') {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            r += buf;
        } else {
            r += static_cast<char>(c);
        }
    }
    return r;
}

void RegistraRichiesta(const std::string& indirizzo, const Richiesta& richiesta, const Risposta& risposta) {
    static std::mutex mutex;
    std::time_t adesso = std::time(nullptr);
    std::tm t{};
    localtime_r(&adesso, &t);
    char ora[32];
    std::strftime(ora, sizeof ora, "%Y-%m-%d %H:%M:%S", &t);
    auto campo = [](const std::string& s) { return s.empty() ? std::string("-") : Sfuggito(s); };
    std::string intervallo = richiesta.Intestazione("Range");
    std::string riga = std::string(ora) + " " + indirizzo + " \"" + campo(richiesta.metodo) + " " +
                       campo(richiesta.percorso) + " " + campo(richiesta.versione) + "\" " +
                       std::to_string(risposta.codice) + " " + std::to_string(risposta.LunghezzaCorpo()) +
                       (intervallo.empty() ? "" : " range=" + Sfuggito(intervallo)) + "\n";
    std::lock_guard<std::mutex> blocco(mutex);
    std::fputs(riga.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace server
