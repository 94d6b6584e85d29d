#pragma once
// The downloader run as the installer runs it, from a folder of an emulated
// drive, against a ServerDiProva; what the tests of its answers share.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "Processi.h"
#include "ServerDiProva.h"
#include "support/DriveDiProva.h"

namespace strumenti::scarico {

using namespace std::chrono_literals;

inline std::string Corpo(std::size_t n, char seme) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(seme + (i * 7 + i / 251) % 53);
    return s;
}

inline std::string Risposta200(const std::string& corpo, const std::string& etag = "\"v1\"") {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(corpo.size()) + "\r\nETag: " + etag +
           "\r\nConnection: close\r\n\r\n" + corpo;
}

inline std::string Risposta206(const std::string& corpo, std::size_t da, const std::string& etag = "\"v1\"") {
    return "HTTP/1.1 206 Partial Content\r\nContent-Length: " + std::to_string(corpo.size() - da) +
           "\r\nContent-Range: bytes " + std::to_string(da) + "-" + std::to_string(corpo.size() - 1) + "/" +
           std::to_string(corpo.size()) + "\r\nETag: " + etag + "\r\nConnection: close\r\n\r\n" + corpo.substr(da);
}

// A body in chunks of `pezzo` bytes, with or without its last chunk.
inline std::string Chunked(const std::string& corpo, std::size_t pezzo, bool finito = true) {
    std::string r;
    char misura[32];
    for (std::size_t i = 0; i < corpo.size(); i += pezzo) {
        std::string p = corpo.substr(i, pezzo);
        std::snprintf(misura, sizeof misura, "%zx\r\n", p.size());
        r += misura + p + "\r\n";
    }
    return finito ? r + "0\r\n\r\n" : r;
}

inline std::size_t InizioRange(const std::string& richiesta) {
    std::string r = Intestazione(richiesta, "Range");
    return r.rfind("bytes=", 0) == 0 ? std::stoul(r.substr(6)) : 0;
}

class Scaricatore : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(drive.Host("Setup"));
        std::filesystem::copy_file(NOCE_SCARICATORE, drive.Host("Setup/scaricatore.exe"));
    }

    std::vector<std::string> Ambiente(const ServerDiProva& s) const {
        return {"NOCE_SERVER=" + s.Indirizzo(), "NOCE_SCARICO_STALLO_S=1", "NOCE_SCARICO_CONNESSIONE_S=2",
                "NOCE_SCARICO_TENTATIVI=3", "NOCE_SCARICO_PAUSA_MS=20"};
    }
    std::vector<std::string> Riga(const std::string& remoto, const std::string& locale) const {
        return {drive.Host("Setup/scaricatore.exe"), "-download/" + remoto, "-" + locale};
    }
    int Scarica(const ServerDiProva& s, const std::string& remoto = "lista.txt",
                const std::string& locale = "C:\\Setup\\lista.txt", const std::vector<std::string>& altro = {}) {
        auto ambiente = Ambiente(s);
        ambiente.insert(ambiente.end(), altro.begin(), altro.end());
        return strumenti::Esegui(Riga(remoto, locale), ambiente, 30s, drive.Host("errori.txt"));
    }
    std::string Marcatore() const { return drive.Leggi("Setup/scaricoincorso.max"); }
    // Nothing but the program, the marker, the log and `attesi` in the folder:
    // no temporary file left behind.
    std::set<std::string> FileInSetup() const {
        std::set<std::string> nomi;
        for (auto& e : std::filesystem::directory_iterator(drive.Host("Setup"))) nomi.insert(e.path().filename());
        return nomi;
    }

    noce::prova::DriveDiProva drive;
};

}  // namespace strumenti::scarico
