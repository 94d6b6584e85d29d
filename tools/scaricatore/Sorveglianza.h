#pragma once
// When an attempt must give up although bytes may still come: silence for
// too long, too few bytes over a window (a server that drips a byte now and
// then defeats a silence check alone), or the whole fetch past its deadline.
#include <chrono>
#include <cstdint>
#include <deque>
#include <string>

namespace scaricatore {

using Orologio = std::chrono::steady_clock;

struct Limiti {
    std::chrono::milliseconds stallo{30000};
    std::chrono::milliseconds finestra{30000};
    std::uint64_t byteMinimiAlSecondo = 1024;
    Orologio::time_point scadenza = Orologio::time_point::max();
};

class Sorveglianza {
public:
    // The attempt starts now.
    Sorveglianza(const Limiti& limiti, Orologio::time_point adesso);

    // `ricevuti`: the attempt's bytes so far. Empty while the attempt may
    // go on; else why it must end.
    std::string Verifica(std::uint64_t ricevuti, Orologio::time_point adesso);

private:
    struct Campione {
        Orologio::time_point quando;
        std::uint64_t ricevuti;
    };
    Limiti limiti_;
    Orologio::time_point ultimoByte_;
    std::uint64_t ricevuti_ = 0;
    std::deque<Campione> campioni_;  // about one a second, the window's worth
};

}  // namespace scaricatore
