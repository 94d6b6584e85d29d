#include "FileHost.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

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

void SostituisciFileHost(const std::string& host, const std::string& dati, mode_t modo) {
    SostituisciFileHost(host, [&](int fd) { ScriviTuttoFd(fd, dati.data(), dati.size()); }, modo);
}

void SostituisciFileHost(const std::string& host, const std::function<void(int fd)>& scrivi, mode_t modo) {
    static std::atomic<unsigned> contatore{0};
    auto barra = host.rfind('/');
    std::string cartella = barra == std::string::npos ? "." : host.substr(0, barra == 0 ? 1 : barra);
    std::string nome = barra == std::string::npos ? host : host.substr(barra + 1);
    std::string tmp = (cartella == "/" ? "" : cartella) + "/." + nome + ".noce-" + std::to_string(getpid()) + "-" +
                      std::to_string(contatore++) + ".tmp";
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
    if (::rename(tmp.c_str(), host.c_str()) != 0) {
        int e = errno;
        ::unlink(tmp.c_str());
        // Renaming over a folder: the name is taken, as Windows reports it.
        throw ErroreDaErrno(e == EISDIR ? EACCES : e);
    }
    int dir = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace noce::posix
