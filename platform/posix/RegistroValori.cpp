// Value data in the notation of a registry export: quoted strings,
// "dword:", and hex with or without a type number.
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cctype>
#include <cstdlib>

#include "../Minuscolo.h"
#include "RegistroInterno.h"
#include "../Utf16.h"
#include "../Utf8.h"

namespace noce::posix::registro {

std::string Minuscolo(const std::string& s) { return MinuscoloNome(s); }

bool UgualeSenzaCaso(const std::string& a, const std::string& b) { return Minuscolo(a) == Minuscolo(b); }

namespace {

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

}  // namespace

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

namespace {

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

}  // namespace

ErroreRuntime DatiNonValidi(const ValoreRegistro& v) {
    return ErroreRuntime(err::ChiamataNonValida,
                         "Dati non validi per il valore " + (v.nome.empty() ? std::string("predefinito") : "\"" + v.nome + "\"") +
                             " di tipo " + v.tipo);
}

std::string FormaFile(const ValoreRegistro& v) {
    auto numero = NumeroTipo(v.tipo);
    if (!numero) throw ErroreRuntime(err::ChiamataNonValida, "Tipo di valore del registro sconosciuto: " + v.tipo);
    std::string byte;
    switch (*numero) {
    case 1:
        // A string with a line break or a NUL cannot stand between quotes on
        // one line; an export writes it as hex(1), so does this.
        // Bytes that are not UTF-8 would make the file itself no text.
        if (v.dati.find_first_of(std::string("\r\n\0", 3)) == std::string::npos && Utf8Valido(v.dati))
            return Virgolettato(v.dati);
        byte = Utf8AUtf16le(v.dati, true) + std::string(2, '\0');
        break;
    case 2: byte = Utf8AUtf16le(v.dati, true) + std::string(2, '\0'); break;
    case 7: byte = Utf8AUtf16le(v.dati, true) + std::string(v.dati.empty() ? 2 : 4, '\0'); break;
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
        std::string t = Utf16leAUtf8(*byte, true);
        if (!t.empty() && t.back() == '\0') t.pop_back();
        v.dati = t;
        break;
    }
    case 7: {
        std::string t = Utf16leAUtf8(*byte, true);
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

}  // namespace noce::posix::registro
