// The file services of Sistema.h on a Linux host.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "../Cp1252.h"
#include "../Sistema.h"
#include "ElenchiCartelle.h"
#include "FileHost.h"
#include "Macchina.h"
#include "Percorsi.h"

namespace noce::sistema {

using posix::ErroreDaErrno;
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

void VerificaScrivibile(const std::string& host) {
    if (posix::ProtettoDaAmministratore(host)) throw ErroreDi(err::AutorizzazioneNegata);
}

// The folder a file goes into must exist as a folder, or the runtime
// reports a path it cannot find.
void VerificaGenitore(const std::string& host) {
    struct stat st;
    if (stat(GenitoreDi(host).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) throw ErroreDi(err::PercorsoNonTrovato);
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
    posix::NomeCreato(h);
}

void RimuoviCartella(const std::string& p) {
    std::string h = PercorsoHost(p);
    VerificaScrivibile(h);
    posix::SalvaCopie();
    if (::rmdir(h.c_str()) != 0) {
        if (errno == ENOTEMPTY || errno == EEXIST) throw ErroreDi(err::ErroreAccesso);
        throw ErroreDaErrno(errno, true);
    }
    posix::NomeRimosso(h);
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
    posix::CopiaFileHost(hd, ha, st.st_mode & 0777);
    posix::NomeCreato(ha);
}

void AvviaSalvataggioCopie() { posix::AvviaSalvataggioCopie(); }

void EliminaFile(const std::string& p) {
    std::string h = PercorsoHost(p);
    struct stat st;
    if (lstat(h.c_str(), &st) != 0) throw ErroreDaErrno(errno);
    if (S_ISDIR(st.st_mode)) throw ErroreDi(err::FileNonTrovato);
    VerificaScrivibile(h);
    posix::SalvaCopie();
    if (::unlink(h.c_str()) != 0) throw ErroreDaErrno(errno);
    posix::NomeRimosso(h);
}

std::vector<VoceCartella> VociCartella(const std::string& cartella) {
    std::string h = PercorsoHost(cartella);
    std::vector<VoceCartella> voci;
    DIR* d = opendir(h.c_str());
    if (!d) throw ErroreDaErrno(errno, true);
    while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n == "." || n == "..") continue;
        VoceCartella v{n, TipoVoce::Altro, n.starts_with(".")};
        struct stat st;
        // lstat: a link is never the folder or file it points at.
        if (lstat((h + "/" + n).c_str(), &st) == 0) {
            if (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) v.tipo = TipoVoce::File;
            else if (S_ISDIR(st.st_mode)) v.tipo = TipoVoce::Cartella;
        }
        voci.push_back(std::move(v));
    }
    closedir(d);
    std::sort(voci.begin(), voci.end(), [](const VoceCartella& a, const VoceCartella& b) {
        std::string la = MinuscoloNome(a.nome), lb = MinuscoloNome(b.nome);
        return la != lb ? la < lb : a.nome < b.nome;
    });
    return voci;
}

std::string LeggiTesto(const std::string& p) { return Cp1252AUtf8(posix::LeggiFileHost(PercorsoHost(p))); }

namespace {

// Open For Output (O_TRUNC) or For Append (O_APPEND) of a host path.
int ApriTesto(const std::string& h, int modo) {
    VerificaScrivibile(h);
    VerificaGenitore(h);
    int fd = ::open(h.c_str(), O_WRONLY | O_CREAT | modo | O_CLOEXEC, 0644);
    if (fd < 0) throw ErroreDaErrno(errno == EISDIR ? EACCES : errno);
    posix::NomeCreato(h);
    return fd;
}

// The file last appended to stays open: the log takes a record for every
// step, and opening it anew would resolve its path every time. Each record
// still reaches the kernel with its own write before the call returns, so
// an installer that dies keeps every record. The open file serves only
// while its name on the host still leads to it: a file deleted or replaced
// since is opened again by name, which fails as a closed file would.
struct Accodato {
    std::string percorso, drive, host;
    int fd = -1;
    dev_t dev = 0;
    ino_t ino = 0;
};
Accodato accodato;

void ChiudiAccodato() {
    if (accodato.fd >= 0) ::close(accodato.fd);
    accodato = Accodato{};
}

bool AccodatoValido(const std::string& p) {
    if (accodato.fd < 0 || accodato.percorso != p || accodato.drive != posix::CartellaDriveCGrezza()) return false;
    struct stat nome;
    return stat(accodato.host.c_str(), &nome) == 0 && nome.st_dev == accodato.dev && nome.st_ino == accodato.ino;
}

}  // namespace

// Open For Output, one Print, Close.
void ScriviTesto(const std::string& p, const std::string& testo) {
    int fd = ApriTesto(PercorsoHost(p), O_TRUNC);
    std::string byte = Utf8ACp1252(testo);
    try {
        posix::ScriviTuttoFd(fd, byte.data(), byte.size());
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0) throw ErroreDaErrno(errno);
}

void AccodaTesto(const std::string& p, const std::string& testo) {
    if (!AccodatoValido(p)) {
        ChiudiAccodato();
        std::string h = PercorsoHost(p);
        int fd = ApriTesto(h, O_APPEND);
        struct stat st;
        if (fstat(fd, &st) != 0) {
            int e = errno;
            ::close(fd);
            throw ErroreDaErrno(e);
        }
        accodato = Accodato{p, posix::CartellaDriveCGrezza(), h, fd, st.st_dev, st.st_ino};
    }
    std::string byte = Utf8ACp1252(testo);
    try {
        // One write call per record, so a record is never split by another
        // writer appending to the same file.
        posix::ScriviTuttoFd(accodato.fd, byte.data(), byte.size());
    } catch (...) {
        ChiudiAccodato();
        throw;
    }
}

void SalvaBytes(const std::string& p, const std::string& bytes) {
    std::string h = PercorsoHost(p);
    VerificaScrivibile(h);
    VerificaGenitore(h);
    posix::SostituisciFileHost(h, bytes, 0644);
    posix::NomeCreato(h);
}

void SalvaAPezzi(const std::string& p, const std::function<std::size_t(char*, std::size_t)>& pezzo) {
    std::string h = PercorsoHost(p);
    VerificaScrivibile(h);
    VerificaGenitore(h);
    posix::SostituisciFileHost(
        h,
        [&](int fd) {
            char buf[65536];
            while (std::size_t n = pezzo(buf, sizeof buf)) posix::ScriviTuttoFd(fd, buf, n);
        },
        0644);
    posix::NomeCreato(h);
}

}  // namespace noce::sistema
