#include "Destinazione.h"

#include <cstdlib>

#include "Minuscolo.h"
#include "RichiestaHttp.h"

namespace noce {

Destinazione DestinazioneConnessione(const std::string& host, int porta) {
    const char* s = std::getenv("NOCE_SERVER");
    if (!s || !*s || MinuscoloNome(host) != MinuscoloNome(HostServer)) return {host, porta};
    std::string v = s;
    auto due = v.rfind(':');
    if (due == std::string::npos) return {v, porta};
    int p = std::atoi(v.c_str() + due + 1);
    std::string h = v.substr(0, due);
    if (h.size() >= 2 && h.front() == '[' && h.back() == ']') h = h.substr(1, h.size() - 2);
    return {h, p > 0 && p <= 65535 ? p : porta};
}

}  // namespace noce
