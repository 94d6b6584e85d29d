#pragma once
// Where a connection goes. NOCE_SERVER=HOST:PORT sends every connection to
// the download server's host there instead; the Host header is unchanged.
#include <string>

namespace noce {

struct Destinazione {
    std::string host;
    int porta = 80;
};

Destinazione DestinazioneConnessione(const std::string& host, int porta);

}  // namespace noce
