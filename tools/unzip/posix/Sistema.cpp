#include "../Sistema.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "../Interruzione.h"
#include "platform/PercorsiHost.h"

namespace estrattore {

namespace {

ErroreFile ErroreScrittura(const std::string& percorso) {
    int e = errno;
    return ErroreFile("scrittura di " + percorso + ": " + std::strerror(e), e == ENOSPC || e == EDQUOT);
}

// The temporary file; whatever happens before the rename, it goes.
struct Temporaneo {
    std::string percorso;
    int fd = -1;
    bool consegnato = false;
    ~Temporaneo() {
        if (fd >= 0) ::close(fd);
        if (!consegnato && !percorso.empty()) ::unlink(percorso.c_str());
        interruzione::Dimentica();
    }
};

}  // namespace

void CreaFile(const std::string& cartella, const std::string& finale, const DatiFile& dati,
              const std::function<void(const Scrivi&)>& produci) {
    static unsigned contatore = 0;
    Temporaneo t;
    // Mode given at creation, so the umask applies; O_EXCL and O_NOFOLLOW
    // make a link planted under the name a failure, never a way out.
    const mode_t modo = dati.eseguibile ? 0755 : 0644;
    for (;;) {
        t.percorso = cartella + "/.unzip-" + std::to_string(::getpid()) + "-" + std::to_string(contatore++);
        interruzione::Ricorda(t.percorso);
        t.fd = ::open(t.percorso.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, modo);
        if (t.fd >= 0) break;
        if (errno != EEXIST) {
            t.percorso.clear();
            throw ErroreScrittura(cartella);
        }
    }
    produci([&](const char* p, std::size_t resto) {
        while (resto > 0) {
            ssize_t k = ::write(t.fd, p, resto);
            if (k < 0 && errno == EINTR) continue;
            if (k < 0) throw ErroreScrittura(finale);
            p += k;
            resto -= static_cast<std::size_t>(k);
        }
    });
    if (dati.data >= 0) {
        timespec tempi[2] = {{static_cast<time_t>(dati.data), 0}, {static_cast<time_t>(dati.data), 0}};
        ::futimens(t.fd, tempi);
    }
    int fd = t.fd;
    t.fd = -1;
    if (::close(fd) != 0) throw ErroreScrittura(finale);
    // No fsync: what lands here is an unpacked copy of an archive that is
    // still on disk, and a flush per entry would cost more than the whole
    // extraction.
    if (::rename(t.percorso.c_str(), finale.c_str()) != 0) throw ErroreScrittura(finale);
    t.consegnato = true;
}

std::string Dentro(const std::string& cartella, const std::string& nome) { return cartella + "/" + nome; }

Tipo TipoDi(const std::string& host) {
    struct stat st {};
    if (::lstat(host.c_str(), &st) != 0) return Tipo::Nessuno;
    if (S_ISREG(st.st_mode)) return Tipo::File;
    return S_ISDIR(st.st_mode) ? Tipo::Cartella : Tipo::Altro;
}

std::optional<Spazio> SpazioLibero(const std::string& percorso) {
    std::string p = percorso;
    struct statvfs s {};
    while (::statvfs(p.c_str(), &s) != 0) {
        if (errno != ENOENT) return std::nullopt;
        auto barra = p.find_last_of('/');
        if (barra == std::string::npos || p == "/") return std::nullopt;
        p = barra == 0 ? "/" : p.substr(0, barra);
    }
    return Spazio{static_cast<std::uint64_t>(s.f_bavail) * s.f_frsize, std::max<std::uint64_t>(s.f_frsize, 1)};
}

std::string TrovaArchivio(const std::string& windows) {
    for (const std::string& nome : {windows, windows + ".zip"}) {
        struct stat st {};
        std::string host = noce::sistema::PercorsoHost(nome);
        if (::stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return host;
    }
    return {};
}

zip_source_t* ApriSorgente(const std::string& host, zip_error_t* errore) {
    return zip_source_file_create(host.c_str(), 0, -1, errore);
}

bool Corrisponde(const std::string& modello, const std::string& nome) {
    std::string normale = nome;
    std::replace(normale.begin(), normale.end(), '\\', '/');
    return fnmatch(modello.c_str(), normale.c_str(), 0) == 0;
}

std::vector<std::string> Argomenti(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace estrattore
