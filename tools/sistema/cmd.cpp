// cmd.exe of the emulated machine: "cmd.exe /c FILE.bat [arguments]" runs a
// batch file line by line, "cmd.exe /c COMMAND" one command. It knows the
// commands the installer's batch files use (XCOPY, REG ADD) with ECHO, REM,
// labels and EXIT, and expands %VARIABLES% as cmd does.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "Comandi.h"
#include "platform/Sistema.h"
#include "platform/Minuscolo.h"
#include "platform/PercorsiHost.h"

extern char** environ;

using namespace noce;
using namespace noce::comandi;

namespace {

struct Stato {
    bool batch = false;
    bool eco = true;
    int livelloErrore = 0;
    bool fine = false;
    std::vector<std::string> argomenti;  // %0, %1, ...
};

std::string CartellaCorrente() {
    std::error_code ec;
    auto c = std::filesystem::current_path(ec);
    return ec ? std::string("C:\\") : noce::sistema::PercorsoWindows(c.string());
}

// The machine's own variables come first: the host's environment knows
// nothing of C:\Windows.
std::optional<std::string> Variabile(const std::string& nome, const Stato& s) {
    struct Fissa {
        const char* nome;
        const char* valore;
    };
    static const Fissa fisse[] = {
        {"SystemRoot", "C:\\Windows"},
        {"windir", "C:\\Windows"},
        {"SystemDrive", "C:"},
        {"ComSpec", "C:\\Windows\\System32\\cmd.exe"},
        {"ProgramFiles", "C:\\Program Files"},
        {"ProgramData", "C:\\ProgramData"},
        {"ALLUSERSPROFILE", "C:\\ProgramData"},
        {"PUBLIC", "C:\\Users\\Public"},
    };
    for (const auto& f : fisse)
        if (UgualeSenzaCaso(nome, f.nome)) return std::string(f.valore);
    for (char** e = environ; *e; ++e) {
        std::string v = *e;
        auto uguale = v.find('=');
        if (uguale != std::string::npos && uguale > 0 && UgualeSenzaCaso(v.substr(0, uguale), nome))
            return v.substr(uguale + 1);
    }
    if (UgualeSenzaCaso(nome, "ERRORLEVEL")) return std::to_string(s.livelloErrore);
    if (UgualeSenzaCaso(nome, "CD")) return CartellaCorrente();
    return std::nullopt;
}

// %VAR% everywhere; in a batch file also %0..%9, %* and %% for a percent
// sign, and an unknown variable expands to nothing. On a command line an
// unknown variable stays as written.
std::string Espandi(const std::string& riga, const Stato& s) {
    std::string out;
    std::size_t i = 0;
    while (i < riga.size()) {
        char c = riga[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        char dopo = i + 1 < riga.size() ? riga[i + 1] : '\0';
        if (s.batch && dopo == '%') {
            out += '%';
            i += 2;
            continue;
        }
        if (s.batch && dopo >= '0' && dopo <= '9') {
            std::size_t k = static_cast<std::size_t>(dopo - '0');
            if (k < s.argomenti.size()) out += s.argomenti[k];
            i += 2;
            continue;
        }
        if (s.batch && dopo == '*') {
            for (std::size_t k = 1; k < s.argomenti.size(); ++k) out += (k > 1 ? " " : "") + s.argomenti[k];
            i += 2;
            continue;
        }
        auto chiusa = riga.find('%', i + 1);
        if (chiusa == std::string::npos || chiusa == i + 1) {
            if (!s.batch) out += '%';
            ++i;
            continue;
        }
        std::string nome = riga.substr(i + 1, chiusa - i - 1);
        if (auto v = Variabile(nome, s)) {
            out += *v;
            i = chiusa + 1;
        } else if (s.batch) {
            i = chiusa + 1;
        } else {
            // Left as written; the closing % may open the next variable.
            out += "%" + nome;
            i = chiusa;
        }
    }
    return out;
}

std::string SenzaSpaziIniziali(const std::string& t) {
    auto k = t.find_first_not_of(" \t");
    return k == std::string::npos ? std::string() : t.substr(k);
}

void Eco(const std::string& resto, Stato& s) {
    std::string r = SenzaSpaziIniziali(resto);
    std::string m = noce::MinuscoloNome(r);
    while (!m.empty() && (m.back() == ' ' || m.back() == '\t')) m.pop_back();
    if (m == "off") s.eco = false;
    else if (m == "on") s.eco = true;
    else if (r.empty()) std::cout << (s.eco ? "ECHO attivato." : "ECHO disattivato.") << std::endl;
    else std::cout << r << std::endl;
}

void Esegui(const std::string& rigaOriginale, Stato& s) {
    std::string t = SenzaSpaziIniziali(Espandi(rigaOriginale, s));
    bool muto = false;
    while (!t.empty() && t[0] == '@') {
        muto = true;
        t = SenzaSpaziIniziali(t.substr(1));
    }
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.pop_back();
    if (t.empty() || t[0] == ':') return;
    if (s.batch && s.eco && !muto) std::cout << "\n" << CartellaCorrente() << ">" << t << std::endl;

    auto fineNome = t.find_first_of(" \t");
    std::string nome = t.substr(0, fineNome);
    std::string resto = fineNome == std::string::npos ? "" : t.substr(fineNome + 1);
    std::string n = noce::MinuscoloNome(nome);

    if (n == "rem") return;
    if (n == "echo") return Eco(resto, s);
    if (n.starts_with("echo.") || n.starts_with("echo:")) {
        std::cout << t.substr(5) << std::endl;
        return;
    }
    if (n == "xcopy" || n == "xcopy.exe") {
        s.livelloErrore = Xcopy(Parole(resto));
        return;
    }
    if (n == "reg" || n == "reg.exe") {
        s.livelloErrore = Reg(Parole(resto));
        return;
    }
    if (n == "exit") {
        auto p = Parole(resto);
        if (!p.empty() && UgualeSenzaCaso(p[0], "/b")) p.erase(p.begin());
        if (!p.empty()) s.livelloErrore = std::atoi(p[0].c_str());
        s.fine = true;
        return;
    }
    std::cerr << "'" << nome << "' non è riconosciuto come comando interno o esterno,\n"
              << " un programma eseguibile o un file batch." << std::endl;
    s.livelloErrore = 9009;
}

bool EstensioneBatch(const std::string& nome) {
    std::string m = noce::MinuscoloNome(nome);
    return m.ends_with(".bat") || m.ends_with(".cmd");
}

int EseguiBatch(const std::string& file, const std::vector<std::string>& argomenti) {
    std::string testo;
    try {
        testo = sistema::LeggiTesto(file);
    } catch (const std::exception&) {
        std::cerr << "Impossibile trovare il file batch." << std::endl;
        return 1;
    }
    Stato s;
    s.batch = true;
    s.argomenti.push_back(file);
    s.argomenti.insert(s.argomenti.end(), argomenti.begin(), argomenti.end());
    std::size_t i = 0;
    while (i <= testo.size() && !s.fine) {
        auto fine = testo.find('\n', i);
        std::string riga = testo.substr(i, fine == std::string::npos ? std::string::npos : fine - i);
        if (!riga.empty() && riga.back() == '\r') riga.pop_back();
        Esegui(riga, s);
        if (fine == std::string::npos) break;
        i = fine + 1;
    }
    return s.livelloErrore;
}

// A word of the command line as cmd would have seen it before the C
// runtime took its quotes away.
std::string Ricomponi(const std::vector<std::string>& parole) {
    std::string r;
    for (const auto& p : parole) {
        if (!r.empty()) r += ' ';
        r += p.empty() || p.find_first_of(" \t") != std::string::npos ? "\"" + p + "\"" : p;
    }
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> a(argv + 1, argv + argc);
    std::size_t i = 0;
    bool comando = false;
    for (; i < a.size(); ++i) {
        std::string o = Maiuscolo(a[i]);
        if (o == "/C" || o == "/K") {
            comando = true;
            ++i;
            break;
        }
        // Other switches (/Q, /D, /E:ON, ...) change nothing here.
        if (o.empty() || o[0] != '/') break;
    }
    if (!comando) {
        std::cerr << "Uso: cmd.exe /c FILE.bat [argomenti]\n     cmd.exe /c COMANDO [argomenti]" << std::endl;
        return 1;
    }
    std::vector<std::string> resto(a.begin() + static_cast<std::ptrdiff_t>(i), a.end());
    if (resto.empty()) return 0;

    std::string programma = resto[0];
    if (!EstensioneBatch(programma)) {
        for (const char* est : {".bat", ".cmd"})
            if (sistema::EsisteFile(programma + est)) {
                programma += est;
                break;
            }
    }
    int livello;
    if (EstensioneBatch(programma)) {
        livello = EseguiBatch(programma, std::vector<std::string>(resto.begin() + 1, resto.end()));
    } else {
        Stato s;
        Esegui(Ricomponi(resto), s);
        livello = s.livelloErrore;
    }
    // A host exit status holds 8 bits: 9009 (unknown command) would come out
    // as 49, so every level beyond them reads as 255.
    return livello >= 0 && livello <= 255 ? livello : 255;
}
