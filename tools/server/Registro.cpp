#include "Registro.h"

#include <cstdio>
#include <ctime>
#include <mutex>

namespace server {

void RegistraRichiesta(const httplib::Request& richiesta, const httplib::Response& risposta) {
    static std::mutex mutex;
    std::time_t adesso = std::time(nullptr);
    std::tm t{};
    localtime_r(&adesso, &t);
    char ora[32];
    std::strftime(ora, sizeof ora, "%Y-%m-%d %H:%M:%S", &t);
    std::string intervallo = richiesta.get_header_value("Range");
    std::string lunghezza = risposta.get_header_value("Content-Length");
    std::lock_guard<std::mutex> blocco(mutex);
    std::fprintf(stderr, "%s %s \"%s %s %s\" %d %s%s%s\n", ora, richiesta.remote_addr.c_str(),
                 richiesta.method.c_str(), richiesta.path.c_str(), richiesta.version.c_str(), risposta.status,
                 lunghezza.empty() ? "-" : lunghezza.c_str(), intervallo.empty() ? "" : " range=",
                 intervallo.c_str());
    std::fflush(stderr);
}

}  // namespace server
