#include "FileHost.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <future>
#include <map>
#include <mutex>

namespace noce::posix {

ErroreRuntime ErroreDaErrno(int e, bool cartella) {
    switch (e) {
    case ENOENT:
    case ENOTDIR: return ErroreDi(cartella ? err::PercorsoNonTrovato : err::FileNonTrovato);
    case EACCES:
    case EPERM:
    case EROFS: return ErroreDi(err::AutorizzazioneNegata);
    case ENOSPC:
    case EDQUOT: return ErroreDi(err::DiscoPieno);
    case ENOMEM: return ErroreDi(err::MemoriaInsufficiente);
    default: return ErroreDi(err::ErroreAccesso);
    }
}

void ScriviTuttoFd(int fd, const char* dati, std::size_t n) {
    while (n > 0) {
        ssize_t k = ::write(fd, dati, n);
        if (k < 0) {
            if (errno == EINTR) continue;
            throw ErroreDaErrno(errno);
        }
        dati += k;
        n -= static_cast<std::size_t>(k);
    }
}

std::string LeggiFileHost(const std::string& host) {
    int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw ErroreDaErrno(errno);
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw ErroreDi(err::ErroreAccesso);
    }
    std::string dati;
    if (st.st_size > 0) dati.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t k = ::read(fd, buf, sizeof buf);
        if (k < 0) {
            if (errno == EINTR) continue;
            int e = errno;
            ::close(fd);
            throw ErroreDaErrno(e);
        }
        if (k == 0) break;
        dati.append(buf, static_cast<std::size_t>(k));
    }
    ::close(fd);
    return dati;
}

namespace {

std::string CartellaDi(const std::string& host) {
    auto barra = host.rfind('/');
    return barra == std::string::npos ? "." : host.substr(0, barra == 0 ? 1 : barra);
}

// A hidden name beside `host`, unique to this process and call.
std::string TemporaneoAccanto(const std::string& host) {
    static std::atomic<unsigned> contatore{0};
    auto barra = host.rfind('/');
    std::string cartella = CartellaDi(host);
    std::string nome = barra == std::string::npos ? host : host.substr(barra + 1);
    return (cartella == "/" ? "" : cartella) + "/." + nome + ".noce-" + std::to_string(getpid()) + "-" +
           std::to_string(contatore++) + ".tmp";
}

void RinominaAlPosto(const std::string& tmp, const std::string& host) {
    if (::rename(tmp.c_str(), host.c_str()) != 0) {
        int e = errno;
        ::unlink(tmp.c_str());
        // Renaming over a folder: the name is taken, as Windows reports it.
        throw ErroreDaErrno(e == EISDIR ? EACCES : e);
    }
}

// Inside the kernel: a shared extent where the file system can (reflink),
// else copy_file_range; through a buffer only where neither is offered.
void CopiaContenuto(int da, int a) {
    if (::ioctl(a, FICLONE, da) == 0) return;
    for (;;) {
        ssize_t k = ::copy_file_range(da, nullptr, a, nullptr, std::size_t{1} << 30, 0);
        if (k > 0) continue;
        if (k == 0) return;
        if (errno == EINTR) continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == EBADF) break;
        throw ErroreDaErrno(errno);
    }
    char buf[65536];
    for (;;) {
        ssize_t k = ::read(da, buf, sizeof buf);
        if (k < 0 && errno == EINTR) continue;
        if (k < 0) throw ErroreDaErrno(errno);
        if (k == 0) return;
        ScriviTuttoFd(a, buf, static_cast<std::size_t>(k));
    }
}

// File systems holding copies not yet flushed, one folder of each, and a
// flush of earlier ones under way.
std::mutex guardiaCopie;
std::map<dev_t, std::string> copieDaSalvare;
std::future<void> salvataggio;

void Salva(const std::map<dev_t, std::string>& cartelle) {
    for (const auto& [dev, cartella] : cartelle) {
        int fd = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        // A folder gone since (not the installer's doing) takes nothing
        // unsaved with it that another folder of that disk could not flush.
        if (fd < 0) fd = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) continue;
        int esito = ::syncfs(fd);
        int e = errno;
        ::close(fd);
        if (esito != 0) throw ErroreDaErrno(e);
    }
}

}  // namespace

void SostituisciFileHost(const std::string& host, const std::string& dati, mode_t modo) {
    SostituisciFileHost(host, [&](int fd) { ScriviTuttoFd(fd, dati.data(), dati.size()); }, modo);
}

void SostituisciFileHost(const std::string& host, const std::function<void(int fd)>& scrivi, mode_t modo) {
    std::string cartella = CartellaDi(host);
    std::string tmp = TemporaneoAccanto(host);
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, modo);
    if (fd < 0) throw ErroreDaErrno(errno, errno == ENOENT);
    try {
        scrivi(fd);
        if (::fsync(fd) != 0) throw ErroreDaErrno(errno);
    } catch (...) {
        ::close(fd);
        ::unlink(tmp.c_str());
        throw;
    }
    ::close(fd);
    RinominaAlPosto(tmp, host);
    int dir = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void CopiaFileHost(const std::string& da, const std::string& a, mode_t modo) {
    int sorgente = ::open(da.c_str(), O_RDONLY | O_CLOEXEC);
    if (sorgente < 0) throw ErroreDaErrno(errno);
    std::string tmp = TemporaneoAccanto(a);
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, modo);
    if (fd < 0) {
        int e = errno;
        ::close(sorgente);
        throw ErroreDaErrno(e, e == ENOENT);
    }
    struct stat st;
    try {
        CopiaContenuto(sorgente, fd);
        if (::fstat(fd, &st) != 0) throw ErroreDaErrno(errno);
    } catch (...) {
        ::close(fd);
        ::close(sorgente);
        ::unlink(tmp.c_str());
        throw;
    }
    ::close(sorgente);
    if (::close(fd) != 0) {
        int e = errno;
        ::unlink(tmp.c_str());
        throw ErroreDaErrno(e);
    }
    RinominaAlPosto(tmp, a);
    std::lock_guard<std::mutex> blocco(guardiaCopie);
    copieDaSalvare.try_emplace(st.st_dev, CartellaDi(a));
}

void SalvaCopie() {
    std::lock_guard<std::mutex> blocco(guardiaCopie);
    if (salvataggio.valid()) salvataggio.get();
    auto cartelle = std::move(copieDaSalvare);
    copieDaSalvare.clear();
    Salva(cartelle);
}

void AvviaSalvataggioCopie() {
    std::lock_guard<std::mutex> blocco(guardiaCopie);
    if (salvataggio.valid() || copieDaSalvare.empty()) return;
    salvataggio = std::async(std::launch::async, Salva, std::move(copieDaSalvare));
    copieDaSalvare.clear();
}

}  // namespace noce::posix
