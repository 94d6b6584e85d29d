// The machine's registry as the programs see it: values and keys, and the
// records regsvr32.exe keeps for the components it registers.
#include "Registro.h"

#include <cstdio>
#include <cstring>

#include "../Minuscolo.h"
#include "RegistroInterno.h"

namespace noce::posix {

namespace {

using namespace registro;

constexpr const char* ChiaveClsid = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID";

// A name-based UUID (version 5, SHA-1) in the namespace of this machine's
// component records.
struct Sha1 {
    std::uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};

    static std::uint32_t Ruota(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

    void Blocco64(const unsigned char* p) {
        std::uint32_t w[80];
        for (int i = 0; i < 16; ++i)
            w[i] = (std::uint32_t(p[4 * i]) << 24) | (std::uint32_t(p[4 * i + 1]) << 16) |
                   (std::uint32_t(p[4 * i + 2]) << 8) | std::uint32_t(p[4 * i + 3]);
        for (int i = 16; i < 80; ++i) w[i] = Ruota(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int i = 0; i < 80; ++i) {
            std::uint32_t f, k;
            if (i < 20) { f = (b & c) | (~b & d); k = 0x5A827999; }
            else if (i < 40) { f = b ^ c ^ d; k = 0x6ED9EBA1; }
            else if (i < 60) { f = (b & c) | (b & d) | (c & d); k = 0x8F1BBCDC; }
            else { f = b ^ c ^ d; k = 0xCA62C1D6; }
            std::uint32_t t = Ruota(a, 5) + f + e + k + w[i];
            e = d; d = c; c = Ruota(b, 30); b = a; a = t;
        }
        h[0] += a; h[1] += b; h[2] += c; h[3] += d; h[4] += e;
    }

    static std::string Digest(const std::string& m) {
        Sha1 s;
        std::string dati = m;
        std::uint64_t bit = static_cast<std::uint64_t>(m.size()) * 8;
        dati += '\x80';
        while (dati.size() % 64 != 56) dati += '\0';
        for (int i = 7; i >= 0; --i) dati += static_cast<char>((bit >> (8 * i)) & 0xFF);
        for (std::size_t i = 0; i < dati.size(); i += 64) s.Blocco64(reinterpret_cast<const unsigned char*>(dati.data() + i));
        std::string r;
        for (auto x : s.h)
            for (int i = 3; i >= 0; --i) r += static_cast<char>((x >> (8 * i)) & 0xFF);
        return r;
    }
};

// The namespace: a fixed UUID of our own, so that the same path gives the
// same CLSID on every machine and in every run.
constexpr unsigned char SpazioComponenti[16] = {0x5c, 0xcc, 0xe7, 0x87, 0x34, 0x62, 0x45, 0xbf,
                                                0xb4, 0x35, 0xc3, 0x8e, 0xf0, 0xaf, 0x33, 0xdb};

std::string GuidDaPercorso(const std::string& percorso) {
    std::string dati(reinterpret_cast<const char*>(SpazioComponenti), 16);
    std::string d = Sha1::Digest(dati + MinuscoloNome(percorso));
    unsigned char u[16];
    std::memcpy(u, d.data(), 16);
    u[6] = static_cast<unsigned char>((u[6] & 0x0F) | 0x50);
    u[8] = static_cast<unsigned char>((u[8] & 0x3F) | 0x80);
    char b[40];
    std::snprintf(b, sizeof b, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", u[0], u[1],
                  u[2], u[3], u[4], u[5], u[6], u[7], u[8], u[9], u[10], u[11], u[12], u[13], u[14], u[15]);
    return b;
}

}  // namespace

// ---- The machine's registry ---------------------------------------------------

void ImpostaValoreRegistro(const std::string& chiave, const ValoreRegistro& valore) {
    std::string nome = NomeChiaveCompleto(chiave);
    ValoreRegistro v = valore;
    auto numero = NumeroTipo(v.tipo);
    if (!numero) throw ErroreRuntime(err::ChiamataNonValida, "Tipo di valore del registro sconosciuto: " + v.tipo);
    v.tipo = NomeTipo(*numero);
    // Checked, and brought to the form a re-read gives, before the lock.
    auto riletto = DaFormaFile(v.nome, FormaFile(v));
    if (!riletto) throw DatiNonValidi(v);
    v = *riletto;
    Modifica(nome, [&](Registro& r) {
        ImpostaIn(r.Crea(nome), v);
        return true;
    });
}

std::optional<ValoreRegistro> LeggiValoreRegistro(const std::string& chiave, const std::string& nome) {
    std::string k = NomeChiaveCompleto(chiave);
    Registro r = Carica(File());
    auto* c = r.Trova(k);
    if (!c) return std::nullopt;
    for (const auto& v : c->valori)
        if (UgualeSenzaCaso(v.nome, nome)) return v;
    return std::nullopt;
}

std::vector<std::string> SottochiaviRegistro(const std::string& chiave) {
    std::string k = NomeChiaveCompleto(chiave);
    return Carica(File()).Sottochiavi(k);
}

bool EliminaChiaveRegistro(const std::string& chiave) {
    std::string k = NomeChiaveCompleto(chiave);
    return Modifica(k, [&](Registro& r) { return r.Elimina(k); });
}

void CreaChiaveRegistro(const std::string& chiave) {
    std::string k = NomeChiaveCompleto(chiave);
    Modifica(k, [&](Registro& r) {
        if (r.Trova(k)) return false;
        r.Crea(k);
        return true;
    });
}

bool EsisteChiaveRegistro(const std::string& chiave) {
    std::string k = NomeChiaveCompleto(chiave);
    return Carica(File()).Trova(k) != nullptr;
}

std::string ChiaveComponente(const std::string& percorsoWindows) {
    return std::string(ChiaveClsid) + "\\" + GuidDaPercorso(percorsoWindows);
}

void RegistraComponente(const std::string& percorsoWindows) {
    std::string chiave = ChiaveComponente(percorsoWindows);
    auto barra = percorsoWindows.find_last_of("\\/");
    std::string nomeFile = barra == std::string::npos ? percorsoWindows : percorsoWindows.substr(barra + 1);
    // Both keys in one change: a reader never sees a class without its
    // server.
    Modifica(chiave, [&](Registro& r) {
        ImpostaIn(r.Crea(chiave), {"", "REG_SZ", nomeFile});
        auto& server = r.Crea(chiave + "\\InprocServer32");
        ImpostaIn(server, {"", "REG_SZ", percorsoWindows});
        ImpostaIn(server, {"ThreadingModel", "REG_SZ", "Apartment"});
        return true;
    });
}

bool AnnullaRegistrazioneComponente(const std::string& percorsoWindows) {
    std::string chiave = ChiaveComponente(percorsoWindows);
    return Modifica(chiave, [&](Registro& r) { return r.Elimina(chiave); });
}

std::vector<std::string> ComponentiRegistrati() {
    Registro r = Carica(File());
    std::vector<std::string> percorsi;
    for (const auto& classe : r.Sottochiavi(ChiaveClsid)) {
        auto* server = r.Trova(std::string(ChiaveClsid) + "\\" + classe + "\\InprocServer32");
        if (!server) continue;
        for (const auto& v : server->valori)
            if (v.nome.empty() && !v.dati.empty()) percorsi.push_back(v.dati);
    }
    return percorsi;
}

}  // namespace noce::posix
