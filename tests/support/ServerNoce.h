#pragma once
// The built download server, run by a test on a free port of 127.0.0.1.
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/FileDiProva.h"
#include "support/Processi.h"

namespace noce::prova {

class ServerNoce {
public:
    // noce-server serving `radice`, its standard output in the file
    // `uscita`; the port is its first line, waited for 10 s at the most.
    // Stopped with SIGTERM when the object goes.
    ServerNoce(const std::string& programma, const std::string& radice, const std::string& uscita)
        : processo_({programma, "--port", "0", "--root", radice}, {}, uscita) {
        std::string testo;
        for (int i = 0; i < 500 && (testo = LeggiFile(uscita)).find('\n') == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        porta_ = std::atoi(testo.c_str());
    }
    ~ServerNoce() {
        processo_.Segnale(SIGTERM);
        processo_.Attendi(std::chrono::seconds(5));
    }
    ServerNoce(const ServerNoce&) = delete;
    ServerNoce& operator=(const ServerNoce&) = delete;

    // 0 when the server printed no port.
    int Porta() const { return porta_; }
    std::string Indirizzo() const { return "127.0.0.1:" + std::to_string(porta_); }

private:
    strumenti::Processo processo_;
    int porta_ = 0;
};

}  // namespace noce::prova
