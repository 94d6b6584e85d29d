#include "ElenchiCartelle.h"

#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "../Minuscolo.h"

namespace noce::posix {

namespace {

struct Elenco {
    dev_t dev = 0;
    ino_t ino = 0;
    timespec mtime{}, ctime{};
    // Folded name -> the spellings present, smallest first.
    std::unordered_map<std::string, std::vector<std::string>> nomi;
};

std::mutex guardia;
std::unordered_map<std::string, Elenco> elenchi;

bool Stessa(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

bool Attuale(const Elenco& e, const struct stat& st) {
    return e.dev == st.st_dev && e.ino == st.st_ino && Stessa(e.mtime, st.st_mtim) && Stessa(e.ctime, st.st_ctim);
}

void Timbra(Elenco& e, const struct stat& st) {
    e.dev = st.st_dev;
    e.ino = st.st_ino;
    e.mtime = st.st_mtim;
    e.ctime = st.st_ctim;
}

// A folder changed in the last moments may change again within the same
// tick of the file system's clock, and that change would not show in its
// times: such a listing serves the lookup at hand and is not kept.
bool Recente(const struct stat& st) {
    timespec ora{};
    clock_gettime(CLOCK_REALTIME, &ora);
    const long long differenza = (static_cast<long long>(ora.tv_sec) - st.st_mtim.tv_sec) * 1000000000LL +
                                 (ora.tv_nsec - st.st_mtim.tv_nsec);
    return differenza < 50'000'000LL;
}

void Aggiungi(Elenco& e, const std::string& nome) {
    auto& varianti = e.nomi[MinuscoloNome(nome)];
    auto pos = std::lower_bound(varianti.begin(), varianti.end(), nome);
    if (pos == varianti.end() || *pos != nome) varianti.insert(pos, nome);
}

bool Leggi(const std::string& cartella, Elenco& e) {
    DIR* d = opendir(cartella.c_str());
    if (!d) return false;
    while (dirent* voce = readdir(d)) {
        std::string n = voce->d_name;
        if (n != "." && n != "..") Aggiungi(e, n);
    }
    closedir(d);
    return true;
}

std::string Trova(const Elenco& e, const std::string& nome) {
    auto it = e.nomi.find(MinuscoloNome(nome));
    return it == e.nomi.end() || it->second.empty() ? std::string() : it->second.front();
}

void Dividi(const std::string& host, std::string& cartella, std::string& nome) {
    auto barra = host.rfind('/');
    cartella = barra == std::string::npos ? "." : host.substr(0, barra == 0 ? 1 : barra);
    nome = barra == std::string::npos ? host : host.substr(barra + 1);
}

// After a change of the installer's own: the listing takes it and the
// folder's new times.
template <typename Cambia>
void Registra(const std::string& host, Cambia cambia) {
    std::string cartella, nome;
    Dividi(host, cartella, nome);
    std::lock_guard<std::mutex> blocco(guardia);
    auto it = elenchi.find(cartella);
    if (it == elenchi.end()) return;
    struct stat st;
    if (stat(cartella.c_str(), &st) != 0) {
        elenchi.erase(it);
        return;
    }
    cambia(it->second, nome);
    Timbra(it->second, st);
}

}  // namespace

std::string CercaSenzaMaiuscole(const std::string& cartella, const std::string& nome) {
    struct stat st;
    if (stat(cartella.c_str(), &st) != 0) return {};
    std::lock_guard<std::mutex> blocco(guardia);
    auto it = elenchi.find(cartella);
    if (it != elenchi.end() && Attuale(it->second, st)) return Trova(it->second, nome);
    // The times are taken before the reading: a change during it shows at
    // the next lookup.
    Elenco nuovo;
    Timbra(nuovo, st);
    if (!Leggi(cartella, nuovo)) return {};
    std::string trovato = Trova(nuovo, nome);
    if (Recente(st)) {
        if (it != elenchi.end()) elenchi.erase(it);
    } else {
        elenchi[cartella] = std::move(nuovo);
    }
    return trovato;
}

void NomeCreato(const std::string& host) {
    Registra(host, [](Elenco& e, const std::string& nome) { Aggiungi(e, nome); });
}

void NomeRimosso(const std::string& host) {
    Registra(host, [](Elenco& e, const std::string& nome) {
        auto it = e.nomi.find(MinuscoloNome(nome));
        if (it == e.nomi.end()) return;
        std::erase(it->second, nome);
        if (it->second.empty()) e.nomi.erase(it);
    });
}

void DimenticaElenchi() {
    std::lock_guard<std::mutex> blocco(guardia);
    elenchi.clear();
}

}  // namespace noce::posix
