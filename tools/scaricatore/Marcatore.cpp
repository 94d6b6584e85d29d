#include "Marcatore.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "Segnali.h"

namespace scaricatore {

bool SostituisciFile(const char* temporaneo, const char* finale, const char* testo, unsigned long n) {
    int fd = ::open(temporaneo, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    unsigned long fatto = 0;
    while (fatto < n) {
        ssize_t k = ::write(fd, testo + fatto, n - fatto);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) {
            ::close(fd);
            ::unlink(temporaneo);
            return false;
        }
        fatto += static_cast<unsigned long>(k);
    }
    if (::close(fd) != 0 || ::rename(temporaneo, finale) != 0) {
        ::unlink(temporaneo);
        return false;
    }
    return true;
}

Marcatore::Marcatore(std::string percorsoHost) : percorso_(std::move(percorsoHost)) {
    auto barra = percorso_.rfind('/');
    std::string cartella = barra == std::string::npos ? "." : percorso_.substr(0, barra);
    std::string nome = barra == std::string::npos ? percorso_ : percorso_.substr(barra + 1);
    temporaneo_ = cartella + "/." + nome + "." + std::to_string(::getpid());
}

bool Marcatore::InCorso() { return Scrivi("0\r\n"); }

bool Marcatore::Avanzamento(int percentuale) { return Scrivi("0," + std::to_string(percentuale) + "\r\n"); }

bool Marcatore::Riuscito() {
    // Once the final word is on disk a late signal must not turn it into 2.
    bool ok = Scrivi("1\r\n");
    if (ok) segnali::EsitoScritto();
    return ok;
}

bool Marcatore::Fallito() {
    bool ok = Scrivi("2\r\n");
    if (ok) segnali::EsitoScritto();
    return ok;
}

bool Marcatore::Scrivi(const std::string& testo) {
    return SostituisciFile(temporaneo_.c_str(), percorso_.c_str(), testo.data(), testo.size());
}

}  // namespace scaricatore
