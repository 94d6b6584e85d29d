// Greedy word wrap, paragraph by paragraph.
#include "Testo.h"

namespace noce {

namespace {

// Each line is the longest run that fits and ends before a blank (or at
// the end); the blanks at a break are dropped.
void Avvolgi(std::string_view par, int larghezza, const MisuraTesto& misura, std::vector<std::string>& righe) {
    std::size_t i = 0;
    do {
        std::size_t scelta = std::string_view::npos;
        for (std::size_t k = i + 1; k <= par.size(); ++k) {
            if (k < par.size() && par[k] != ' ') continue;
            if (scelta != std::string_view::npos && misura(par.substr(i, k - i)) > larghezza) break;
            scelta = k;  // the first word always stays, however wide
        }
        if (scelta == std::string_view::npos) scelta = par.size();
        righe.emplace_back(par.substr(i, scelta - i));
        i = scelta;
        while (i < par.size() && par[i] == ' ') ++i;
    } while (i < par.size());
}

}  // namespace

std::vector<std::string> RigheTesto(const std::string& testo, int larghezza, const MisuraTesto& misura) {
    std::vector<std::string> righe;
    std::string_view resto = testo;
    while (true) {
        std::size_t fine = resto.find('\n');
        std::string_view par = resto.substr(0, fine);
        if (!par.empty() && par.back() == '\r') par.remove_suffix(1);
        if (par.empty()) righe.emplace_back();
        else Avvolgi(par, larghezza, misura, righe);
        if (fine == std::string_view::npos) break;
        resto.remove_prefix(fine + 1);
    }
    return righe;
}

}  // namespace noce
