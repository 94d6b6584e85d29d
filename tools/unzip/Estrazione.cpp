#include "Estrazione.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Interruzione.h"

namespace estrattore {

namespace {

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

struct FileArchivio {
    zip_file_t* f = nullptr;
    ~FileArchivio() {
        if (f) zip_fclose(f);
    }
};

EsitoVoce ErroreScrittura(const std::string& percorso) {
    int e = errno;
    EsitoVoce r;
    r.tipo = (e == ENOSPC || e == EDQUOT) ? EsitoVoce::Tipo::DiscoPieno : EsitoVoce::Tipo::Errore;
    r.messaggio = "scrittura di " + percorso + ": " + std::strerror(e);
    return r;
}

}  // namespace

EsitoVoce EstraiFile(zip_t* archivio, const Voce& voce, const std::string& cartella, const std::string& finale,
                     std::vector<char>& buffer) {
    FileArchivio entrata;
    entrata.f = zip_fopen_index(archivio, voce.indice, 0);
    if (!entrata.f) {
        zip_error_t* e = zip_get_error(archivio);
        int codice = zip_error_code_zip(e);
        bool nonSupportato = codice == ZIP_ER_COMPNOTSUPP || codice == ZIP_ER_ENCRNOTSUPP || codice == ZIP_ER_NOPASSWD;
        return {nonSupportato ? EsitoVoce::Tipo::Saltato : EsitoVoce::Tipo::Errore, zip_error_strerror(e)};
    }

    static unsigned contatore = 0;
    Temporaneo t;
    for (;;) {
        t.percorso = cartella + "/.unzip-" + std::to_string(::getpid()) + "-" + std::to_string(contatore++);
        interruzione::Ricorda(t.percorso);
        t.fd = ::open(t.percorso.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (t.fd >= 0) break;
        if (errno != EEXIST) {
            t.percorso.clear();
            return ErroreScrittura(cartella);
        }
    }

    zip_uint64_t totale = 0;
    for (;;) {
        zip_int64_t n = zip_fread(entrata.f, buffer.data(), buffer.size());
        if (n == 0) break;
        // libzip checks the CRC when the entry's last byte has been read.
        if (n < 0) return {EsitoVoce::Tipo::Errore, zip_file_strerror(entrata.f)};
        const char* p = buffer.data();
        auto resto = static_cast<std::size_t>(n);
        while (resto > 0) {
            ssize_t k = ::write(t.fd, p, resto);
            if (k < 0 && errno == EINTR) continue;
            if (k < 0) return ErroreScrittura(finale);
            p += k;
            resto -= static_cast<std::size_t>(k);
        }
        totale += static_cast<zip_uint64_t>(n);
    }
    if ((voce.stat.valid & ZIP_STAT_SIZE) && totale != voce.stat.size)
        return {EsitoVoce::Tipo::Errore, "lunghezza errata: " + std::to_string(totale) + " byte invece di " +
                                             std::to_string(voce.stat.size)};

    if (voce.modo >= 0) ::fchmod(t.fd, static_cast<mode_t>(voce.modo));
    if (voce.stat.valid & ZIP_STAT_MTIME) {
        timespec tempi[2] = {{voce.stat.mtime, 0}, {voce.stat.mtime, 0}};
        ::futimens(t.fd, tempi);
    }
    int fd = t.fd;
    t.fd = -1;
    if (::close(fd) != 0) return ErroreScrittura(finale);
    // No fsync: what lands here is an unpacked copy of an archive that is
    // still on disk, and a flush per entry would cost more than the whole
    // extraction.
    if (::rename(t.percorso.c_str(), finale.c_str()) != 0) return ErroreScrittura(finale);
    t.consegnato = true;
    return {};
}

}  // namespace estrattore
