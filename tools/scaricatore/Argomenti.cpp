#include "Argomenti.h"

#include "platform/RichiestaHttp.h"

namespace scaricatore {

std::optional<Richiesta> LeggiArgomenti(int argc, const char* const* argv, std::string& errore) {
    if (argc < 3) {
        errore = "uso: scaricatore.exe -download/NOME -PERCORSO";
        return std::nullopt;
    }
    std::string primo = argv[1];
    if (primo.size() < 2 || primo[0] != '-') {
        errore = "nome remoto non valido: " + primo;
        return std::nullopt;
    }
    std::string locale = argv[2];
    for (int i = 3; i < argc; ++i) locale += std::string(" ") + argv[i];
    if (locale.size() < 2 || locale[0] != '-') {
        errore = "percorso locale non valido: " + locale;
        return std::nullopt;
    }
    Richiesta r;
    r.remoto = primo.substr(1);
    while (!r.remoto.empty() && r.remoto.front() == '/') r.remoto.erase(0, 1);
    r.locale = locale.substr(1);
    if (r.remoto.empty()) {
        errore = "nome remoto vuoto";
        return std::nullopt;
    }
    return r;
}

std::string UrlDi(const std::string& remoto) {
    static const char* esadecimali = "0123456789ABCDEF";
    std::string url = std::string("http://") + noce::HostServer + "/";
    for (unsigned char c : remoto) {
        bool libero = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
        if (libero) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += esadecimali[c >> 4];
            url += esadecimali[c & 15];
        }
    }
    return url;
}

}  // namespace scaricatore
