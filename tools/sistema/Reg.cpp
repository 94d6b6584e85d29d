// REG ADD as a batch file uses it, writing into the machine's registry.
#include <cerrno>
#include <cstdlib>
#include <iostream>

#include "Comandi.h"
#include "platform/posix/Registro.h"
#include "platform/Utf16.h"

namespace noce::comandi {

namespace {

int Sintassi() {
    std::cerr << "ERRORE: Sintassi o parametro non valido.\nDigitare \"REG ADD /?\" per visualizzare la sintassi."
              << std::endl;
    return 1;
}

std::optional<std::string> Numero(const std::string& d, unsigned long long massimo) {
    if (d.empty()) return std::string("0");
    bool esa = d.size() > 2 && d[0] == '0' && (d[1] == 'x' || d[1] == 'X');
    std::string cifre = esa ? d.substr(2) : d;
    if (cifre.empty() || cifre.find_first_not_of(esa ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
        return std::nullopt;
    errno = 0;
    unsigned long long v = std::strtoull(cifre.c_str(), nullptr, esa ? 16 : 10);
    if (errno == ERANGE || v > massimo) return std::nullopt;
    return std::to_string(v);
}

std::string Esadecimale(const std::string& byte) {
    static const char* cifre = "0123456789abcdef";
    std::string r;
    for (std::size_t i = 0; i < byte.size(); ++i) {
        if (i) r += ',';
        r += cifre[static_cast<unsigned char>(byte[i]) >> 4];
        r += cifre[static_cast<unsigned char>(byte[i]) & 15];
    }
    return r;
}

// The data as the registry keeps it for the type, or nothing when the
// text does not fit the type.
std::optional<std::string> Dati(const std::string& tipo, const std::string& d, const std::string& separatore) {
    if (tipo == "REG_DWORD") return Numero(d, 0xFFFFFFFFull);
    if (tipo == "REG_QWORD") return Numero(d, ~0ull);
    if (tipo == "REG_BINARY") {
        if (d.size() % 2 || d.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return std::nullopt;
        std::string r;
        for (std::size_t i = 0; i < d.size(); i += 2) r += (i ? "," : "") + d.substr(i, 2);
        return r;
    }
    if (tipo == "REG_MULTI_SZ") {
        std::string r;
        std::size_t i = 0;
        for (;;) {
            auto p = d.find(separatore, i);
            r += d.substr(i, p == std::string::npos ? std::string::npos : p - i);
            if (p == std::string::npos) break;
            r += '\0';
            i = p + separatore.size();
        }
        return r;
    }
    if (tipo == "REG_NONE") return Esadecimale(noce::Utf8AUtf16le(d) + std::string(2, '\0'));
    return d;
}

}  // namespace

int Reg(const std::vector<std::string>& parole) {
    if (parole.empty() || !UgualeSenzaCaso(parole[0], "ADD")) {
        std::cerr << "ERRORE: Operazione non valida.\nDigitare \"REG /?\" per visualizzare la sintassi." << std::endl;
        return 1;
    }
    if (parole.size() < 2) return Sintassi();
    std::string chiave = parole[1];
    std::optional<std::string> nome, dati, separatore;
    std::string tipo = "REG_SZ";
    bool predefinito = false, forza = false, tipoDato = false;
    for (std::size_t i = 2; i < parole.size(); ++i) {
        std::string o = Maiuscolo(parole[i]);
        auto argomento = [&]() -> std::optional<std::string> {
            if (i + 1 >= parole.size()) return std::nullopt;
            return parole[++i];
        };
        if (o == "/V") {
            if (nome || predefinito || !(nome = argomento())) return Sintassi();
        } else if (o == "/VE") {
            if (nome || predefinito) return Sintassi();
            predefinito = true;
        } else if (o == "/T") {
            auto t = argomento();
            if (!t || tipoDato) return Sintassi();
            tipo = Maiuscolo(*t);
            tipoDato = true;
        } else if (o == "/D") {
            if (dati || !(dati = argomento())) return Sintassi();
        } else if (o == "/S") {
            if (separatore || !(separatore = argomento()) || separatore->size() != 1) return Sintassi();
        } else if (o == "/F") {
            forza = true;
        } else if (o == "/REG:32" || o == "/REG:64") {
        } else {
            return Sintassi();
        }
    }
    static const char* tipi[] = {"REG_SZ", "REG_MULTI_SZ", "REG_EXPAND_SZ", "REG_DWORD",
                                 "REG_QWORD", "REG_BINARY", "REG_NONE"};
    bool noto = false;
    for (const char* t : tipi) noto = noto || tipo == t;
    if (!noto) {
        std::cerr << "ERRORE: Tipo di dati non valido: " << tipo << std::endl;
        return 1;
    }
    try {
        chiave = posix::NomeChiaveCompleto(chiave);
    } catch (const std::exception&) {
        std::cerr << "ERRORE: Chiave non valida." << std::endl;
        return 1;
    }
    try {
        // A key alone creates the key; data without a name is the default.
        if (!nome && !predefinito && !dati && !tipoDato) {
            posix::CreaChiaveRegistro(chiave);
            std::cout << "Operazione completata." << std::endl;
            return 0;
        }
        std::string n = nome.value_or("");
        auto d = Dati(tipo, dati.value_or(""), separatore.value_or("\\0"));
        if (!d) {
            std::cerr << "ERRORE: Dati non validi per il tipo " << tipo << "." << std::endl;
            return 1;
        }
        if (!forza && posix::LeggiValoreRegistro(chiave, n)) {
            auto r = Chiedi("Il valore " + (n.empty() ? std::string("(Predefinito)") : n) +
                            " esiste. Sovrascrivere (Sì/No)? ");
            std::string a = r ? Maiuscolo(*r) : "";
            if (a.empty() || (a[0] != 'S' && a[0] != 'Y')) {
                std::cout << "Operazione annullata." << std::endl;
                return 1;
            }
        }
        posix::ImpostaValoreRegistro(chiave, {n, tipo, *d});
    } catch (const std::exception& e) {
        std::cerr << "ERRORE: " << Messaggio(e) << std::endl;
        return 1;
    }
    std::cout << "Operazione completata." << std::endl;
    return 0;
}

}  // namespace noce::comandi
