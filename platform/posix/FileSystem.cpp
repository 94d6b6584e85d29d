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
    posix::SostituisciFileHost(ha, posix::LeggiFileHost(hd), st.st_mode & 0777);
}

void EliminaFile(const std::string& p) {
    std::string h = PercorsoHost(p);
    struct stat st;
    if (lstat(h.c_str(), &st) != 0) throw ErroreDaErrno(errno);
    if (S_ISDIR(st.st_mode)) throw ErroreDi(err::FileNonTrovato);
    VerificaScrivibile(h);
    if (::unlink(h.c_str()) != 0) throw ErroreDaErrno(errno);
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

// Open For Output (O_TRUNC) or For Append (O_APPEND), one Print, Close.
void ScriviTestoCon(const std::string& p, const std::string& testo, int modo) {
    std::string h = PercorsoHost(p);
    VerificaScrivibile(h);
    VerificaGenitore(h);
    int fd = ::open(h.c_str(), O_WRONLY | O_CREAT | modo | O_CLOEXEC, 0644);
    if (fd < 0) throw ErroreDaErrno(errno == EISDIR ? EACCES : errno);
    std::string byte = Utf8ACp1252(testo);
    try {
        // One write call per record, so a record is never split by another
        // writer appending to the same file.
        posix::ScriviTuttoFd(fd, byte.data(), byte.size());
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0) throw ErroreDaErrno(errno);
}

}  // namespace

void ScriviTesto(const std::string& p, const std::string& testo) { ScriviTestoCon(p, testo, O_TRUNC); }

void AccodaTesto(const std::string& p, const std::string& testo) { ScriviTestoCon(p, testo, O_APPEND); }

void SalvaBytes(const std::string& p, const std::string& bytes) {
    std::string h = PercorsoHost(p);
    VerificaScrivibile(h);
    VerificaGenitore(h);
    posix::SostituisciFileHost(h, bytes, 0644);
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
}

}  // namespace noce::sistema
