#include "Cartelle.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/Minuscolo.h"

namespace estrattore {

using noce::MinuscoloNome;

Cartelle::Cartelle(std::string radice) : radice_(std::move(radice)) {
    std::error_code ec;
    std::filesystem::create_directories(radice_, ec);
    if (!std::filesystem::is_directory(radice_))
        throw std::system_error(ec ? ec : std::make_error_code(std::errc::not_a_directory),
                                "impossibile creare la cartella " + radice_);
    cartelle_[""] = radice_;
}

Cartelle::Contenuto& Cartelle::Leggi(const std::string& cartella) {
    auto trovato = contenuti_.find(cartella);
    if (trovato != contenuti_.end()) return trovato->second;
    Contenuto& c = contenuti_[cartella];
    if (DIR* d = opendir(cartella.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n == "." || n == "..") continue;
            Aggiunto(cartella, n);
        }
        closedir(d);
    }
    return c;
}

void Cartelle::Aggiunto(const std::string& cartella, const std::string& nome) {
    Contenuto& c = contenuti_[cartella];
    c.esatti.insert(nome);
    auto [voce, nuovo] = c.perMinuscolo.emplace(MinuscoloNome(nome), nome);
    if (!nuovo && nome < voce->second) voce->second = nome;
}

std::string Cartelle::Nome(const std::string& cartella, const std::string& nome) {
    Contenuto& c = Leggi(cartella);
    if (c.esatti.count(nome)) return nome;
    auto voce = c.perMinuscolo.find(MinuscoloNome(nome));
    return voce == c.perMinuscolo.end() ? nome : voce->second;
}

std::string Cartelle::Cartella(const std::vector<std::string>& parti, std::size_t n) {
    std::string chiave;
    std::string host = radice_;
    for (std::size_t i = 0; i < n; ++i) {
        chiave += "/" + MinuscoloNome(parti[i]);
        auto nota = cartelle_.find(chiave);
        if (nota != cartelle_.end()) {
            host = nota->second;
            continue;
        }
        std::string nome = Nome(host, parti[i]);
        std::string figlia = host + "/" + nome;
        struct stat st {};
        if (lstat(figlia.c_str(), &st) != 0) {
            if (mkdir(figlia.c_str(), 0777) != 0 && errno != EEXIST)
                throw std::system_error(errno, std::generic_category(), "impossibile creare la cartella " + figlia);
            Aggiunto(host, nome);
        } else if (!S_ISDIR(st.st_mode)) {
            throw std::system_error(std::make_error_code(std::errc::not_a_directory),
                                    figlia + " non è una cartella");
        }
        cartelle_[chiave] = figlia;
        host = figlia;
    }
    return host;
}

}  // namespace estrattore
