#include "../Marcatore.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace scaricatore {

namespace {

// Only a file this call creates is written: a link planted under the name
// makes the open fail instead of sending the bytes where it points.
int CreaNuovo(const char* percorso) { return ::open(percorso, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644); }

}  // namespace

bool SostituisciFile(const char* temporaneo, const char* finale, const char* testo, unsigned long n) {
    int fd = CreaNuovo(temporaneo);
    // Whatever holds the name (left by an earlier process with this id, or
    // planted) is removed, which never follows a link, and the file is
    // created afresh.
    if (fd < 0 && errno == EEXIST && ::unlink(temporaneo) == 0) fd = CreaNuovo(temporaneo);
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

bool Marcatore::Scrivi(const std::string& testo) {
    return SostituisciFile(temporaneo_.c_str(), percorso_.c_str(), testo.data(), testo.size());
}

}  // namespace scaricatore
