#include "Registro.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cctype>
#include <cstring>
#include <map>

#include "../Errori.h"
#include "FileHost.h"
#include "Macchina.h"
#include "Percorsi.h"
#include "../Utf16.h"

namespace noce::posix {

namespace {

constexpr const char* Intestazione = "Windows Registry Editor Version 5.00";
constexpr const char* ChiaveClsid = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID";

ErroreRuntime ErroreRegistro(const std::string& descrizione) {
    return ErroreRuntime(err::ErroreAccesso, descrizione);
}

std::string Minuscolo(const std::string& s) { return MinuscoloNome(s); }

bool UgualeSenzaCaso(const std::string& a, const std::string& b) { return Minuscolo(a) == Minuscolo(b); }

// ---- Value data in the export's notation -----------------------------------

struct TipoNoto {
    const char* nome;
    int numero;
};
constexpr TipoNoto Tipi[] = {
    {"REG_NONE", 0},          {"REG_SZ", 1},
    {"REG_EXPAND_SZ", 2},     {"REG_BINARY", 3},
    {"REG_DWORD", 4},         {"REG_DWORD_BIG_ENDIAN", 5},
    {"REG_LINK", 6},          {"REG_MULTI_SZ", 7},
    {"REG_RESOURCE_LIST", 8}, {"REG_FULL_RESOURCE_DESCRIPTOR", 9},
    {"REG_RESOURCE_REQUIREMENTS_LIST", 10}, {"REG_QWORD", 11},
};

std::string NomeTipo(int numero) {
    for (const auto& t : Tipi)
        if (t.numero == numero) return t.nome;
    char b[32];
    std::snprintf(b, sizeof b, "hex(%x)", static_cast<unsigned>(numero));
    return b;
}

std::optional<int> NumeroTipo(const std::string& nome) {
    for (const auto& t : Tipi)
        if (UgualeSenzaCaso(nome, t.nome)) return t.numero;
    // An unnamed type read from a file keeps its number ("hex(1f)").
    std::string m = Minuscolo(nome);
    if (m.size() > 5 && m.starts_with("hex(") && m.back() == ')') {
        std::string cifre = m.substr(4, m.size() - 5);
        if (!cifre.empty() && cifre.size() <= 8 && cifre.find_first_not_of("0123456789abcdef") == std::string::npos)
            return static_cast<int>(std::strtoul(cifre.c_str(), nullptr, 16));
    }
    return std::nullopt;
}

std::string Virgolettato(const std::string& s) {
    std::string r = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') r += '\\';
        r += c;
    }
    return r + "\"";
}

std::string EsadecimaleSeparato(const std::string& byte) {
    std::string r;
    char b[4];
    for (std::size_t i = 0; i < byte.size(); ++i) {
        std::snprintf(b, sizeof b, "%02x", static_cast<unsigned char>(byte[i]));
        if (i) r += ',';
        r += b;
    }
    return r;
}

std::optional<std::string> ByteDaEsadecimale(const std::string& testo) {
    std::string byte;
    std::size_t i = 0;
    auto spazio = [](char c) { return c == ' ' || c == '\t'; };
    while (i < testo.size() && spazio(testo[i])) ++i;
    if (i == testo.size()) return byte;
    for (;;) {
        while (i < testo.size() && spazio(testo[i])) ++i;
        std::size_t inizio = i;
        while (i < testo.size() && std::isxdigit(static_cast<unsigned char>(testo[i]))) ++i;
        if (i == inizio || i - inizio > 2) return std::nullopt;
        byte += static_cast<char>(std::strtoul(testo.substr(inizio, i - inizio).c_str(), nullptr, 16));
        while (i < testo.size() && spazio(testo[i])) ++i;
        if (i == testo.size()) return byte;
        if (testo[i] != ',') return std::nullopt;
        ++i;
    }
}

std::optional<std::uint64_t> Decimale(const std::string& s, std::uint64_t massimo) {
    if (s.empty() || s.size() > 20 || s.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    errno = 0;
    unsigned long long v = std::strtoull(s.c_str(), nullptr, 10);
    if (errno == ERANGE || v > massimo) return std::nullopt;
    return v;
}

std::string LittleEndian(std::uint64_t v, int n) {
    std::string r;
    for (int i = 0; i < n; ++i) r += static_cast<char>((v >> (8 * i)) & 0xFF);
    return r;
}

std::uint64_t DaLittleEndian(const std::string& b) {
    std::uint64_t v = 0;
    for (std::size_t i = b.size(); i-- > 0;) v = (v << 8) | static_cast<unsigned char>(b[i]);
    return v;
}

ErroreRuntime DatiNonValidi(const ValoreRegistro& v) {
    return ErroreRuntime(err::ChiamataNonValida,
                         "Dati non validi per il valore " + (v.nome.empty() ? std::string("predefinito") : "\"" + v.nome + "\"") +
                             " di tipo " + v.tipo);
}

// The right-hand side of `"name"=...` for a value; throws for data its type
// cannot hold.
std::string FormaFile(const ValoreRegistro& v) {
    auto numero = NumeroTipo(v.tipo);
    if (!numero) throw ErroreRuntime(err::ChiamataNonValida, "Tipo di valore del registro sconosciuto: " + v.tipo);
    std::string byte;
    switch (*numero) {
    case 1:
        // A string with a line break or a NUL cannot stand between quotes on
        // one line; an export writes it as hex(1), so does this.
        if (v.dati.find_first_of(std::string("\r\n\0", 3)) == std::string::npos) return Virgolettato(v.dati);
        byte = Utf8AUtf16le(v.dati) + std::string(2, '\0');
        break;
    case 2: byte = Utf8AUtf16le(v.dati) + std::string(2, '\0'); break;
    case 7: byte = Utf8AUtf16le(v.dati) + std::string(v.dati.empty() ? 2 : 4, '\0'); break;
    case 4: {
        auto n = Decimale(v.dati, 0xFFFFFFFFull);
        if (!n) throw DatiNonValidi(v);
        char b[24];
        std::snprintf(b, sizeof b, "dword:%08" PRIx64, *n);
        return b;
    }
    case 11: {
        auto n = Decimale(v.dati, UINT64_MAX);
        if (!n) throw DatiNonValidi(v);
        byte = LittleEndian(*n, 8);
        break;
    }
    default: {
        auto b = ByteDaEsadecimale(v.dati);
        if (!b) throw DatiNonValidi(v);
        byte = *b;
    }
    }
    char prefisso[24];
    if (*numero == 3) std::snprintf(prefisso, sizeof prefisso, "hex:");
    else std::snprintf(prefisso, sizeof prefisso, "hex(%x):", static_cast<unsigned>(*numero));
    return std::string(prefisso) + EsadecimaleSeparato(byte);
}

// The value a right-hand side stands for; nullopt when it is not valid.
std::optional<ValoreRegistro> DaFormaFile(const std::string& nome, const std::string& rhs) {
    ValoreRegistro v{nome, "", ""};
    if (!rhs.empty() && rhs[0] == '"') {
        std::string s;
        std::size_t i = 1;
        for (; i < rhs.size() && rhs[i] != '"'; ++i) {
            if (rhs[i] == '\\' && i + 1 < rhs.size() && (rhs[i + 1] == '\\' || rhs[i + 1] == '"')) ++i;
            s += rhs[i];
        }
        if (i >= rhs.size() || rhs.find_first_not_of(" \t", i + 1) != std::string::npos) return std::nullopt;
        v.tipo = "REG_SZ";
        v.dati = s;
        return v;
    }
    std::string m = Minuscolo(rhs);
    if (m.starts_with("dword:")) {
        std::string cifre = rhs.substr(6);
        while (!cifre.empty() && (cifre.back() == ' ' || cifre.back() == '\t')) cifre.pop_back();
        if (cifre.empty() || cifre.size() > 8 || cifre.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return std::nullopt;
        v.tipo = "REG_DWORD";
        v.dati = std::to_string(std::strtoul(cifre.c_str(), nullptr, 16));
        return v;
    }
    int numero;
    std::string dati;
    if (m.starts_with("hex:")) {
        numero = 3;
        dati = rhs.substr(4);
    } else if (m.starts_with("hex(")) {
        auto chiusa = m.find("):");
        if (chiusa == std::string::npos) return std::nullopt;
        auto n = NumeroTipo(m.substr(0, chiusa + 1));
        if (!n) return std::nullopt;
        numero = *n;
        dati = rhs.substr(chiusa + 2);
    } else {
        return std::nullopt;
    }
    auto byte = ByteDaEsadecimale(dati);
    if (!byte) return std::nullopt;
    v.tipo = NomeTipo(numero);
    switch (numero) {
    case 1:
    case 2: {
        std::string t = Utf16leAUtf8(*byte);
        if (!t.empty() && t.back() == '\0') t.pop_back();
        v.dati = t;
        break;
    }
    case 7: {
        std::string t = Utf16leAUtf8(*byte);
        for (int k = 0; k < 2 && !t.empty() && t.back() == '\0'; ++k) t.pop_back();
        v.dati = t;
        break;
    }
    case 4:
        if (byte->size() != 4) return std::nullopt;
        v.dati = std::to_string(DaLittleEndian(*byte));
        break;
    case 11:
        if (byte->size() != 8) return std::nullopt;
        v.dati = std::to_string(DaLittleEndian(*byte));
        break;
    default: v.dati = EsadecimaleSeparato(*byte);
    }
    return v;
}

// A value line as regedit writes it: hex data wrapped before column 80
// with a backslash and two blanks on the next line.
std::string RigaValore(const ValoreRegistro& v) {
    std::string sinistra = v.nome.empty() ? "@=" : Virgolettato(v.nome) + "=";
    std::string destra = FormaFile(v);
    if (destra.empty() || destra[0] == '"' || destra.starts_with("dword:")) return sinistra + destra + "\r\n";
    std::string riga = sinistra;
    std::string out;
    auto dueP = destra.find(':');
    riga += destra.substr(0, dueP + 1);
    std::string resto = destra.substr(dueP + 1);
    std::size_t i = 0;
    while (i < resto.size()) {
        auto virgola = resto.find(',', i);
        std::string pezzo = resto.substr(i, virgola == std::string::npos ? std::string::npos : virgola - i + 1);
        if (riga.size() + pezzo.size() > 78 && virgola != std::string::npos) {
            out += riga + "\\\r\n";
            riga = "  ";
        }
        riga += pezzo;
        if (virgola == std::string::npos) break;
        i = virgola + 1;
    }
    return out + riga + "\r\n";
}

// ---- Key names -----------------------------------------------------------

struct Radice {
    const char* breve;
    const char* lunga;
};
constexpr Radice Radici[] = {
    {"HKLM", "HKEY_LOCAL_MACHINE"}, {"HKCU", "HKEY_CURRENT_USER"}, {"HKU", "HKEY_USERS"},
    {"HKCC", "HKEY_CURRENT_CONFIG"},
};

// Sorting key: "\" below every character, so that a key's sub-keys follow
// it directly ("a", "a\b", "a b").
std::string Ordinamento(const std::string& nome) {
    std::string m = Minuscolo(nome);
    std::replace(m.begin(), m.end(), '\\', '\x01');
    return m;
}

std::string Genitore(const std::string& nome) {
    auto p = nome.rfind('\\');
    return p == std::string::npos ? std::string() : nome.substr(0, p);
}

// ---- The registry in memory ------------------------------------------------

class Registro {
public:
    static Registro DaTesto(const std::string& testo) {
        Registro r;
        for (auto& c : AnalizzaRegistro(testo)) {
            std::string k = Minuscolo(c.nome);
            r.indice_[k] = r.chiavi_.size();
            r.chiavi_.push_back(std::move(c));
        }
        return r;
    }

    ChiaveRegistro* Trova(const std::string& nome) {
        auto it = indice_.find(Minuscolo(nome));
        return it == indice_.end() ? nullptr : &chiavi_[it->second];
    }

    // The key, created with every missing ancestor, as the registry has no
    // key without its parents.
    ChiaveRegistro& Crea(const std::string& nome) {
        if (auto* c = Trova(nome)) return *c;
        std::string g = Genitore(nome);
        if (!g.empty()) Crea(g);
        indice_[Minuscolo(nome)] = chiavi_.size();
        chiavi_.push_back({nome, {}});
        return chiavi_.back();
    }

    bool Elimina(const std::string& nome) {
        std::string m = Minuscolo(nome);
        std::size_t prima = chiavi_.size();
        std::erase_if(chiavi_, [&](const ChiaveRegistro& c) {
            std::string cm = Minuscolo(c.nome);
            return cm == m || (cm.size() > m.size() && cm.compare(0, m.size(), m) == 0 && cm[m.size()] == '\\');
        });
        if (chiavi_.size() == prima) return false;
        indice_.clear();
        for (std::size_t i = 0; i < chiavi_.size(); ++i) indice_[Minuscolo(chiavi_[i].nome)] = i;
        return true;
    }

    std::vector<std::string> Sottochiavi(const std::string& nome) {
        std::string m = Minuscolo(nome);
        std::vector<std::string> r;
        for (const auto& c : Ordinate()) {
            std::string cm = Minuscolo(c.nome);
            if (cm.size() > m.size() + 1 && cm.compare(0, m.size(), m) == 0 && cm[m.size()] == '\\' &&
                cm.find('\\', m.size() + 1) == std::string::npos)
                r.push_back(c.nome.substr(m.size() + 1));
        }
        return r;
    }

    std::vector<ChiaveRegistro> Ordinate() const {
        std::vector<ChiaveRegistro> r = chiavi_;
        std::stable_sort(r.begin(), r.end(), [](const ChiaveRegistro& a, const ChiaveRegistro& b) {
            return Ordinamento(a.nome) < Ordinamento(b.nome);
        });
        return r;
    }

private:
    std::vector<ChiaveRegistro> chiavi_;
    std::map<std::string, std::size_t> indice_;
};

void ImpostaIn(ChiaveRegistro& c, const ValoreRegistro& v) {
    for (auto& e : c.valori) {
        if (UgualeSenzaCaso(e.nome, v.nome)) {
            e.tipo = v.tipo;
            e.dati = v.dati;
            return;
        }
    }
    // The default value comes first, as an export shows it.
    if (v.nome.empty()) c.valori.insert(c.valori.begin(), v);
    else c.valori.push_back(v);
}

// ---- The file --------------------------------------------------------------

std::string File() { return FileRegistro(CartellaDriveC()); }

std::string LeggiFile(const std::string& host) {
    struct stat st;
    if (::stat(host.c_str(), &st) != 0 && errno == ENOENT) return {};
    return LeggiFileHost(host);
}

Registro Carica(const std::string& host) {
    std::string testo = LeggiFile(host);
    // A file that was never written holds nothing to keep.
    if (testo.find_first_not_of(" \t\r\n") == std::string::npos) return Registro{};
    return Registro::DaTesto(testo);
}

// Temporary file, fsync, rename: a reader sees the old registry or the new
// one, never a part of either, also after a crash.
void Salva(const std::string& host, const Registro& r) { SostituisciFileHost(host, TestoRegistro(r.Ordinate()), 0644); }

// Holds the exclusive lock on the lock file beside the registry. flock
// belongs to the open file, so threads of one process exclude each other
// as processes do.
class Blocco {
public:
    explicit Blocco(const std::string& host) {
        fd_ = ::open((host + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) throw ErroreDaErrno(errno);
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            int e = errno;
            ::close(fd_);
            throw ErroreDaErrno(e);
        }
    }
    ~Blocco() { ::close(fd_); }
    Blocco(const Blocco&) = delete;
    Blocco& operator=(const Blocco&) = delete;

private:
    int fd_;
};

// Read, change and replace under the lock; `cambia` returns whether it
// changed anything, and an unchanged registry is not rewritten.
template <class F>
bool Modifica(const std::string& chiave, F cambia) {
    if (Minuscolo(chiave).starts_with("hkey_local_machine") && !LeggiImpostazioni(CartellaDriveC()).amministratore)
        throw ErroreDi(err::AutorizzazioneNegata);
    std::string host = File();
    Blocco blocco(host);
    Registro r = Carica(host);
    if (!cambia(r)) return false;
    Salva(host, r);
    return true;
}

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

// True for a value line whose data is in hex, the only kind an export
// continues on the next line.
bool ValoreEsadecimale(const std::string& riga) {
    std::size_t i = riga.find_first_not_of(" \t");
    if (i == std::string::npos) return false;
    if (riga[i] == '@') {
        ++i;
    } else if (riga[i] == '"') {
        for (++i; i < riga.size() && riga[i] != '"'; ++i)
            if (riga[i] == '\\' && i + 1 < riga.size()) ++i;
        if (i >= riga.size()) return false;
        ++i;
    } else {
        return false;
    }
    i = riga.find_first_not_of(" \t", i);
    if (i == std::string::npos || riga[i] != '=') return false;
    i = riga.find_first_not_of(" \t", i + 1);
    return i != std::string::npos && Minuscolo(riga.substr(i, 3)) == "hex";
}

}  // namespace

// ---- The export format -------------------------------------------------------

std::string NomeChiaveCompleto(const std::string& chiave) {
    std::string c = chiave;
    while (!c.empty() && c.back() == '\\') c.pop_back();
    auto barra = c.find('\\');
    std::string radice = c.substr(0, barra);
    std::string resto = barra == std::string::npos ? "" : c.substr(barra);
    if (resto.find("\\\\") != std::string::npos || c.empty())
        throw ErroreRuntime(err::ChiamataNonValida, "Chiave del registro non valida: " + chiave);
    // HKEY_CLASSES_ROOT is a view of the machine's classes: what is
    // written through it lands there, as on Windows for a machine-wide
    // registration.
    if (UgualeSenzaCaso(radice, "HKCR") || UgualeSenzaCaso(radice, "HKEY_CLASSES_ROOT"))
        return "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes" + resto;
    for (const auto& r : Radici)
        if (UgualeSenzaCaso(radice, r.breve) || UgualeSenzaCaso(radice, r.lunga)) return r.lunga + resto;
    throw ErroreRuntime(err::ChiamataNonValida, "Chiave del registro non valida: " + chiave);
}

std::vector<ChiaveRegistro> AnalizzaRegistro(const std::string& testo) {
    // Logical lines: CR LF or LF ends a line; a hex value continues on
    // the next line after a trailing backslash.
    std::vector<std::pair<int, std::string>> righe;
    {
        std::size_t i = testo.starts_with("\xEF\xBB\xBF") ? 3 : 0;
        int numero = 0;
        std::string corrente;
        int inizioCorrente = 0;
        bool continua = false;
        while (i <= testo.size()) {
            auto fine = testo.find('\n', i);
            std::string r = testo.substr(i, fine == std::string::npos ? std::string::npos : fine - i);
            ++numero;
            if (!r.empty() && r.back() == '\r') r.pop_back();
            if (continua) {
                std::size_t k = r.find_first_not_of(" \t");
                corrente += k == std::string::npos ? "" : r.substr(k);
            } else {
                corrente = r;
                inizioCorrente = numero;
            }
            continua = !corrente.empty() && corrente.back() == '\\' && ValoreEsadecimale(corrente);
            if (continua) corrente.pop_back();
            else righe.emplace_back(inizioCorrente, corrente);
            if (fine == std::string::npos) break;
            i = fine + 1;
        }
        if (continua) righe.emplace_back(inizioCorrente, corrente);
    }

    auto errore = [](int riga, const std::string& cosa) {
        return ErroreRegistro("Registro non valido alla riga " + std::to_string(riga) + ": " + cosa);
    };

    Registro r;
    ChiaveRegistro* corrente = nullptr;
    bool intestazione = false;
    for (auto& [numero, riga] : righe) {
        std::size_t inizio = riga.find_first_not_of(" \t");
        if (inizio == std::string::npos) continue;
        std::string t = riga.substr(inizio);
        while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.pop_back();
        if (!intestazione) {
            if (t != Intestazione) throw errore(numero, "manca l'intestazione \"" + std::string(Intestazione) + "\"");
            intestazione = true;
            continue;
        }
        if (t[0] == ';') continue;
        if (t[0] == '[') {
            if (t.back() != ']') throw errore(numero, "chiave senza \"]\"");
            std::string nome = t.substr(1, t.size() - 2);
            bool elimina = !nome.empty() && nome[0] == '-';
            if (elimina) nome = nome.substr(1);
            try {
                nome = NomeChiaveCompleto(nome);
            } catch (const ErroreRuntime&) {
                throw errore(numero, "chiave non valida \"" + nome + "\"");
            }
            if (elimina) {
                r.Elimina(nome);
                corrente = nullptr;
            } else {
                corrente = &r.Crea(nome);
            }
            continue;
        }
        if (!corrente) throw errore(numero, "valore fuori da una chiave");
        std::string nome;
        std::size_t i;
        if (t[0] == '@') {
            i = 1;
        } else if (t[0] == '"') {
            for (i = 1; i < t.size() && t[i] != '"'; ++i) {
                if (t[i] == '\\' && i + 1 < t.size() && (t[i + 1] == '\\' || t[i + 1] == '"')) ++i;
                nome += t[i];
            }
            if (i >= t.size()) throw errore(numero, "nome di valore senza virgolette di chiusura");
            ++i;
        } else {
            throw errore(numero, "riga non riconosciuta");
        }
        while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
        if (i >= t.size() || t[i] != '=') throw errore(numero, "manca \"=\"");
        ++i;
        while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
        std::string destra = t.substr(i);
        if (destra == "-") {
            std::erase_if(corrente->valori, [&](const ValoreRegistro& v) { return UgualeSenzaCaso(v.nome, nome); });
            continue;
        }
        auto v = DaFormaFile(nome, destra);
        if (!v) throw errore(numero, "dati non validi");
        ImpostaIn(*corrente, *v);
    }
    if (!intestazione) throw errore(1, "file vuoto");
    // Crea may have moved keys in memory; take them by value in export order.
    return r.Ordinate();
}

std::string TestoRegistro(const std::vector<ChiaveRegistro>& chiavi) {
    std::string out = std::string(Intestazione) + "\r\n\r\n";
    for (const auto& c : chiavi) {
        out += "[" + c.nome + "]\r\n";
        for (const auto& v : c.valori) out += RigaValore(v);
        out += "\r\n";
    }
    return out;
}

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
