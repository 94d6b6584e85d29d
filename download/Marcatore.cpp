// Reading the downloader's status marker.
#include "Marcatore.h"

#include <charconv>

#include "platform/Sistema.h"
#include "platform/Spazi.h"

namespace noce {

namespace {

bool Spazio(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::optional<std::string> PrimoCampo(const std::string& testo) {
    std::size_t i = 0;
    while (i < testo.size() && Spazio(testo[i])) ++i;
    if (i == testo.size()) return std::nullopt;
    if (testo[i] == '"') {
        // A quoted field ends at its closing quote, commas and all; one
        // that never closes runs to the end of the text.
        auto chiusa = testo.find('"', i + 1);
        return testo.substr(i + 1, chiusa == std::string::npos ? std::string::npos : chiusa - i - 1);
    }
    auto fine = testo.find_first_of(",\r\n", i);
    return SenzaSpazi(testo.substr(i, fine == std::string::npos ? std::string::npos : fine - i));
}

double Val(const std::string& testo) {
    // The number's characters, with the blanks Val passes over taken out.
    std::string numero;
    std::size_t i = 0;
    auto salta = [&] {
        while (i < testo.size() && (Spazio(testo[i]) || testo[i] == '\n' || testo[i] == '\r')) ++i;
    };
    auto cifre = [&] {
        bool almenoUna = false;
        for (salta(); i < testo.size() && testo[i] >= '0' && testo[i] <= '9'; salta()) {
            numero += testo[i++];
            almenoUna = true;
        }
        return almenoUna;
    };
    salta();
    if (i < testo.size() && (testo[i] == '+' || testo[i] == '-')) {
        if (testo[i] == '-') numero += '-';
        ++i;
    }
    bool intera = cifre();
    bool decimale = false;
    if (i < testo.size() && testo[i] == '.') {
        std::size_t prima = numero.size();
        numero += '.';
        ++i;
        decimale = cifre();
        if (!decimale) numero.resize(prima);
    }
    if (!intera && !decimale) return 0;
    if (i < testo.size() && (testo[i] == 'e' || testo[i] == 'E' || testo[i] == 'd' || testo[i] == 'D')) {
        std::size_t prima = numero.size(), primaI = i;
        numero += 'e';
        ++i;
        salta();
        if (i < testo.size() && (testo[i] == '+' || testo[i] == '-')) numero += testo[i++];
        if (!cifre()) {
            numero.resize(prima);
            i = primaI;
        }
    }
    double valore = 0;
    auto [fine, errore] = std::from_chars(numero.data(), numero.data() + numero.size(), valore);
    (void)fine;
    return errore == std::errc() ? valore : 0;
}

std::optional<double> StatoMarcatore(const std::string& percorso) {
    if (!sistema::EsisteCartella(percorso)) return std::nullopt;
    std::string testo;
    try {
        testo = sistema::LeggiTesto(percorso);
    } catch (const ErroreRuntime&) {
        // The downloader may hold it, or it went between the test and the
        // open: look again at the next tick.
        return std::nullopt;
    }
    auto campo = PrimoCampo(testo);
    if (!campo) return std::nullopt;
    return Val(*campo);
}

}  // namespace noce
