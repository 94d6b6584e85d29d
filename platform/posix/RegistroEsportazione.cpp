// The registry export as a whole: key names and their order, the registry
// held in memory, and the reading and writing of the export's text.
#include <algorithm>

#include "RegistroInterno.h"

namespace noce::posix {

namespace {

constexpr const char* Intestazione = "Windows Registry Editor Version 5.00";

using registro::Minuscolo;
using registro::UgualeSenzaCaso;

ErroreRuntime ErroreRegistro(const std::string& descrizione) {
    return ErroreRuntime(err::ErroreAccesso, descrizione);
}

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

namespace registro {

Registro Registro::DaTesto(const std::string& testo) {
    Registro r;
    for (auto& c : AnalizzaRegistro(testo)) {
        std::string k = Minuscolo(c.nome);
        r.indice_[k] = r.chiavi_.size();
        r.chiavi_.push_back(std::move(c));
    }
    return r;
}

ChiaveRegistro* Registro::Trova(const std::string& nome) {
    auto it = indice_.find(Minuscolo(nome));
    return it == indice_.end() ? nullptr : &chiavi_[it->second];
}

ChiaveRegistro& Registro::Crea(const std::string& nome) {
    if (auto* c = Trova(nome)) return *c;
    std::string g = Genitore(nome);
    if (!g.empty()) Crea(g);
    indice_[Minuscolo(nome)] = chiavi_.size();
    chiavi_.push_back({nome, {}});
    return chiavi_.back();
}

bool Registro::Elimina(const std::string& nome) {
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

std::vector<std::string> Registro::Sottochiavi(const std::string& nome) {
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

std::vector<ChiaveRegistro> Registro::Ordinate() const {
    std::vector<ChiaveRegistro> r = chiavi_;
    std::stable_sort(r.begin(), r.end(), [](const ChiaveRegistro& a, const ChiaveRegistro& b) {
        return Ordinamento(a.nome) < Ordinamento(b.nome);
    });
    return r;
}


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

}  // namespace registro

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

    registro::Registro r;
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
        auto v = registro::DaFormaFile(nome, destra);
        if (!v) throw errore(numero, "dati non validi");
        registro::ImpostaIn(*corrente, *v);
    }
    if (!intestazione) throw errore(1, "file vuoto");
    // Crea may have moved keys in memory; take them by value in export order.
    return r.Ordinate();
}

std::string TestoRegistro(const std::vector<ChiaveRegistro>& chiavi) {
    std::string out = std::string(Intestazione) + "\r\n\r\n";
    for (const auto& c : chiavi) {
        out += "[" + c.nome + "]\r\n";
        for (const auto& v : c.valori) out += registro::RigaValore(v);
        out += "\r\n";
    }
    return out;
}

}  // namespace noce::posix
