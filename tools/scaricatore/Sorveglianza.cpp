#include "Sorveglianza.h"

namespace scaricatore {

namespace {

std::string Secondi(std::chrono::milliseconds d) {
    auto ms = d.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

}  // namespace

Sorveglianza::Sorveglianza(const Limiti& limiti, Orologio::time_point adesso)
    : limiti_(limiti), ultimoByte_(adesso) {
    campioni_.push_back({adesso, 0});
}

std::string Sorveglianza::Verifica(std::uint64_t ricevuti, Orologio::time_point adesso) {
    if (adesso >= limiti_.scadenza) return "tempo massimo dello scarico superato";
    if (ricevuti != ricevuti_) {
        ricevuti_ = ricevuti;
        ultimoByte_ = adesso;
    } else if (adesso - ultimoByte_ >= limiti_.stallo) {
        return "nessun dato dal server da " + Secondi(limiti_.stallo);
    }
    if (adesso - campioni_.back().quando >= std::chrono::seconds(1))
        campioni_.push_back({adesso, ricevuti});
    // The oldest sample kept is the newest one at least a window old, so
    // the rate below is over one whole window.
    while (campioni_.size() > 1 && adesso - campioni_[1].quando >= limiti_.finestra) campioni_.pop_front();
    const Campione& primo = campioni_.front();
    auto trascorso = adesso - primo.quando;
    if (trascorso < limiti_.finestra) return "";
    double secondi = std::chrono::duration<double>(trascorso).count();
    if (static_cast<double>(ricevuti - primo.ricevuti) >= secondi * static_cast<double>(limiti_.byteMinimiAlSecondo))
        return "";
    return "meno di " + std::to_string(limiti_.byteMinimiAlSecondo) + " byte al secondo negli ultimi " +
           Secondi(limiti_.finestra);
}

}  // namespace scaricatore
