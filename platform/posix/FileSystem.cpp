// The file services of Sistema.h on a Linux host.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "../Sistema.h"
#include "Macchina.h"
#include "Percorsi.h"
#include "Testo.h"

namespace noce::sistema {

using posix::PercorsoHost;

namespace {

std::string NomeDi(const std::string& host) {
    auto pos = host.rfind('/');
    return pos == std::string::npos ? host : host.substr(pos + 1);
}

std::string GenitoreDi(const std::string& host) {
    auto pos = host.rfind('/');
    if (pos == std::string::npos) return ".";
    return pos == 0 ? "/" : host.substr(0, pos);
}

bool Nascosto(const std::string& host) { return NomeDi(host).starts_with("."); }

// The runtime error for a failed host call on a file (`cartella` when the
// call was about a folder).
ErroreRuntime ErroreDaErrno(int e, bool cartella = false) {
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

void VerificaScrivibile(const std::string& host) {
    if (posix::ProtettoDaAmministratore(host)) throw ErroreDi(err::AutorizzazioneNegata);
}

// The folder a file goes into must exist as a folder, or the runtime
// reports a path it cannot find.
void VerificaGenitore(const std::string& host) {
    struct stat st;
    if (stat(GenitoreDi(host).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) throw ErroreDi(err::PercorsoNonTrovato);
}

void ScriviTutto(int fd, const char* dati, std::size_t n) {
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

std::string FileTemporaneoAccanto(const std::string& host) {
    return GenitoreDi(host) + "/." + NomeDi(host) + ".noce-" + std::to_string(getpid()) + ".tmp";
}

// Writes `dati` to a temporary file beside `host` and renames it over it.
void ScriviAtomico(const std::string& host, const std::string& dati, mode_t modo) {
    std::string tmp = FileTemporaneoAccanto(host);
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, modo);
    if (fd < 0) throw ErroreDaErrno(errno);
    try {
        ScriviTutto(fd, dati.data(), dati.size());
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
        throw ErroreDaErrno(e == EISDIR ? EACCES : e);
    }
}

std::string LeggiBytes(const std::string& host) {
    int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw ErroreDaErrno(errno);
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw ErroreDi(err::ErroreAccesso);
    }
    std::string dati;
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

bool PrimaMinore(const std::string& a, const std::string& b) {
    std::string la = posix::MinuscoloNome(a), lb = posix::MinuscoloNome(b);
    return la != lb ? la < lb : a < b;
}

}  // namespace

bool EsisteCartella(const std::string& p) {
    struct stat st;
    std::string h = PercorsoHost(p);
    return stat(h.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || S_ISREG(st.st_mode));
}

bool EsisteFile(const std::string& p) {
    struct stat st;
    std::string h = PercorsoHost(p);
    return stat(h.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !Nascosto(h);
}

void CreaCartella(const std::string& p) {
    std::string h = PercorsoHost(p);
    VerificaScrivibile(h);
    if (::mkdir(h.c_str(), 0755) != 0) {
        // An existing entry of that name is an access error, a missing
        // parent a path that cannot be found.
        if (errno == EEXIST) throw ErroreDi(err::ErroreAccesso);
        throw ErroreDaErrno(errno, true);
    }
}

void RimuoviCartella(const std::string& p) {
    std::string h = PercorsoHost(p);
    VerificaScrivibile(h);
    if (::rmdir(h.c_str()) != 0) {
        if (errno == ENOTEMPTY || errno == EEXIST) throw ErroreDi(err::ErroreAccesso);
        throw ErroreDaErrno(errno, true);
    }
}

void CopiaFile(const std::string& da, const std::string& a) {
    std::string hd = PercorsoHost(da), ha = PercorsoHost(a);
    struct stat st;
    if (stat(hd.c_str(), &st) != 0) throw ErroreDaErrno(errno);
    if (!S_ISREG(st.st_mode)) throw ErroreDi(err::FileNonTrovato);
    VerificaScrivibile(ha);
    VerificaGenitore(ha);
    struct stat sa;
    if (stat(ha.c_str(), &sa) == 0 && S_ISDIR(sa.st_mode)) throw ErroreDi(err::ErroreAccesso);
    ScriviAtomico(ha, LeggiBytes(hd), st.st_mode & 0777);
}

void EliminaFile(const std::string& p) {
    std::string h = PercorsoHost(p);
    struct stat st;
    if (lstat(h.c_str(), &st) != 0) throw ErroreDaErrno(errno);
    if (S_ISDIR(st.st_mode)) throw ErroreDi(err::FileNonTrovato);
    VerificaScrivibile(h);
    if (::unlink(h.c_str()) != 0) throw ErroreDaErrno(errno);
}

std::vector<std::string> ElencoFile(const std::string& cartella) {
    std::string h = PercorsoHost(cartella);
    std::vector<std::string> nomi;
    DIR* d = opendir(h.c_str());
    if (!d) throw ErroreDaErrno(errno, true);
    while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n.starts_with(".")) continue;
        struct stat st;
        // A link is listed as a file, whatever it points at: deleting it
        // by name removes the link, never what lies behind it.
        if (lstat((h + "/" + n).c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
            nomi.push_back(n);
    }
    closedir(d);
    std::sort(nomi.begin(), nomi.end(), PrimaMinore);
    return nomi;
}

std::vector<std::string> ElencoCartelle(const std::string& cartella) {
    std::string h = PercorsoHost(cartella);
    std::vector<std::string> nomi;
    DIR* d = opendir(h.c_str());
    if (!d) throw ErroreDaErrno(errno, true);
    while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n == "." || n == "..") continue;
        struct stat st;
        // lstat: a link to a folder elsewhere is not a folder of this one.
        if (lstat((h + "/" + n).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) nomi.push_back(n);
    }
    closedir(d);
    std::sort(nomi.begin(), nomi.end(), PrimaMinore);
    return nomi;
}

std::string LeggiTesto(const std::string& p) { return posix::Cp1252AUtf8(LeggiBytes(PercorsoHost(p))); }

void ScriviTesto(const std::string& p, const std::string& testo) {
    std::string h = PercorsoHost(p);
    VerificaScrivibile(h);
    VerificaGenitore(h);
    int fd = ::open(h.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw ErroreDaErrno(errno == EISDIR ? EACCES : errno);
    std::string byte = posix::Utf8ACp1252(testo);
    try {
        ScriviTutto(fd, byte.data(), byte.size());
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0) throw ErroreDaErrno(errno);
}

void AccodaTesto(const std::string& p, const std::string& testo) {
    std::string h = PercorsoHost(p);
    VerificaScrivibile(h);
    VerificaGenitore(h);
    int fd = ::open(h.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) throw ErroreDaErrno(errno == EISDIR ? EACCES : errno);
    std::string byte = posix::Utf8ACp1252(testo);
    try {
        // One write call per record, so a record is never split by another
        // writer appending to the same file.
        ScriviTutto(fd, byte.data(), byte.size());
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0) throw ErroreDaErrno(errno);
}

void SalvaBytes(const std::string& p, const std::string& bytes) {
    std::string h = PercorsoHost(p);
    VerificaScrivibile(h);
    VerificaGenitore(h);
    ScriviAtomico(h, bytes, 0644);
}

}  // namespace noce::sistema
