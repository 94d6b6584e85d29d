#include "Percorsi.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <vector>

#include "ElenchiCartelle.h"
#include "Macchina.h"

namespace noce::posix {

namespace {

std::string Ambiente(const char* nome) {
    const char* v = std::getenv(nome);
    return v ? std::string(v) : std::string();
}

std::vector<std::string> Componenti(const std::string& resto) {
    std::vector<std::string> parti;
    std::string corrente;
    for (char c : resto) {
        if (c == '\\' || c == '/') {
            parti.push_back(corrente);
            corrente.clear();
        } else {
            corrente += c;
        }
    }
    parti.push_back(corrente);
    std::vector<std::string> piegate;
    for (auto& p : parti) {
        if (p.empty() || p == ".") continue;
        if (p == "..") {
            if (!piegate.empty()) piegate.pop_back();
            continue;
        }
        piegate.push_back(p);
    }
    return piegate;
}

// The entry of `cartella` that `nome` names: the exact spelling when it
// exists, otherwise the first entry in byte order that matches without
// regard to case, otherwise `nome` itself (a name still to be created).
std::string RisolviNome(const std::string& cartella, const std::string& nome) {
    std::string esatto = cartella == "/" ? "/" + nome : cartella + "/" + nome;
    struct stat st;
    if (lstat(esatto.c_str(), &st) == 0) return nome;
    std::string trovato = CercaSenzaMaiuscole(cartella, nome);
    return trovato.empty() ? nome : trovato;
}

std::string Unisci(const std::string& base, const std::vector<std::string>& parti) {
    std::string host = base;
    for (const auto& p : parti) {
        std::string nome = RisolviNome(host, p);
        host = host == "/" ? "/" + nome : host + "/" + nome;
    }
    return host;
}

bool DentroA(const std::string& percorso, const std::string& radice) {
    if (percorso == radice) return true;
    return percorso.size() > radice.size() && percorso.compare(0, radice.size(), radice) == 0 &&
           percorso[radice.size()] == '/';
}

std::string Reale(const std::string& p) {
    char buf[PATH_MAX];
    if (realpath(p.c_str(), buf)) return buf;
    return p;
}

}  // namespace

std::string CartellaDriveCGrezza() {
    std::string d = Ambiente("NOCE_DRIVE_C");
    if (d.empty()) {
        std::string dati = Ambiente("XDG_DATA_HOME");
        if (dati.empty()) dati = Ambiente("HOME") + "/.local/share";
        d = dati + "/noce/drive_c";
    }
    while (d.size() > 1 && d.back() == '/') d.pop_back();
    if (d.front() != '/') {
        char buf[PATH_MAX];
        if (getcwd(buf, sizeof buf)) d = std::string(buf) + "/" + d;
    }
    return d;
}

std::string CartellaDriveC() {
    std::string d = CartellaDriveCGrezza();
    PreparaMacchina(d);
    return d;
}

}  // namespace noce::posix

namespace noce::sistema {

using namespace posix;

std::string PercorsoHost(const std::string& w) {
    std::string resto = w;
    char unita = 0;
    if (w.size() >= 2 && w[1] == ':' && std::isalpha(static_cast<unsigned char>(w[0]))) {
        unita = static_cast<char>(std::tolower(static_cast<unsigned char>(w[0])));
        resto = w.substr(2);
    }
    bool assoluto = !resto.empty() && (resto[0] == '\\' || resto[0] == '/');
    if (unita == 0) {
        char buf[PATH_MAX];
        std::string cwd = getcwd(buf, sizeof buf) ? buf : "/";
        if (!assoluto) return Unisci(cwd, Componenti(resto));
        std::string c = CartellaDriveCGrezza();
        unita = DentroA(Reale(cwd), Reale(c)) ? 'c' : 'z';
    }
    if (unita == 'c') return Unisci(CartellaDriveC(), Componenti(resto));
    if (unita == 'z') return Unisci("/", Componenti(resto));
    // Drives that do not exist resolve into a folder that does not exist,
    // so every operation on them fails as on Windows.
    return "/nonexistent-drive-" + std::string(1, unita) + "/" + resto;
}

std::string PercorsoWindows(const std::string& host) {
    std::string c = Reale(CartellaDriveCGrezza());
    std::string h = Reale(host);
    std::string resto;
    std::string unita;
    if (DentroA(h, c)) {
        unita = "C:";
        resto = h.substr(c.size());
    } else {
        unita = "Z:";
        resto = h;
    }
    std::replace(resto.begin(), resto.end(), '/', '\\');
    if (resto.empty()) resto = "\\";
    return unita + resto;
}

std::string CartellaEseguibile() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "/";
    std::string p(buf, static_cast<std::size_t>(n));
    auto pos = p.rfind('/');
    return pos == 0 ? "/" : p.substr(0, pos);
}

}  // namespace noce::sistema
