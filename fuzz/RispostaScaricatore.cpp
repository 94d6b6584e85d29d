// The downloader's header reader, fed line by line as libcurl would.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tools/scaricatore/Risposta.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    std::string_view testo(reinterpret_cast<const char*>(dati), n);
    scaricatore::Risposta r;
    while (!testo.empty()) {
        std::size_t fine = testo.find('\n');
        fine = fine == std::string_view::npos ? testo.size() : fine + 1;
        scaricatore::LeggiIntestazione(testo.substr(0, fine), r);
        testo.remove_prefix(fine);
    }
    if (r.lunghezza < -1 || r.inizioIntervallo < -1 || r.totaleIntervallo < -1) std::abort();
    r.Validatore();
    return 0;
}
