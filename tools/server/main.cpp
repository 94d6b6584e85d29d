// noce-server [--port N] [--root DIR] [--bind ADDRESS] [--durata SECONDS]
//             [--attesa-ms N] [--testa-ms N] [--connessioni N]
//
// The download server: serves a folder (the demo content by default) over
// HTTP/1.1. The first line of standard output is the port it listens on,
// alone, so that a caller that asked for port 0 learns which one it got.
// SIGTERM, SIGINT, SIGHUP or the end of --durata stop it cleanly.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>

#include "Ascolto.h"
#include "FileStatici.h"
#include "Opzioni.h"

int main(int argc, char** argv) {
    std::string errore;
    auto opzioni = server::LeggiOpzioni(argc, argv, errore);
    if (!opzioni) {
        std::fprintf(stderr, "noce-server: %s\n%s\n", errore.c_str(), server::Uso);
        return 2;
    }

    // The stop signals are blocked before anything else and taken from a
    // signalfd by the accepting loop: one that comes at any moment after
    // this, even before the loop starts, waits there and is never lost.
    // Every connection thread inherits them blocked.
    sigset_t arresto;
    sigemptyset(&arresto);
    sigaddset(&arresto, SIGTERM);
    sigaddset(&arresto, SIGINT);
    sigaddset(&arresto, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &arresto, nullptr);
    signal(SIGPIPE, SIG_IGN);
    int segnali = signalfd(-1, &arresto, SFD_CLOEXEC);
    if (segnali < 0) {
        std::perror("noce-server: signalfd");
        return 1;
    }

    int porta = opzioni->porta;
    int ascolto = server::Ascolta(opzioni->indirizzo, porta, errore);
    if (ascolto < 0) {
        std::fprintf(stderr, "noce-server: impossibile ascoltare su %s:%d: %s\n", opzioni->indirizzo.c_str(),
                     opzioni->porta, errore.c_str());
        return 1;
    }
    std::printf("%d\n", porta);
    std::fflush(stdout);
    std::fprintf(stderr, "noce-server: %s servito su http://%s:%d/\n", opzioni->radice.c_str(),
                 opzioni->indirizzo.c_str(), porta);

    server::FileStatici file(opzioni->radice);
    server::Servizio servizio;
    servizio.file = &file;
    servizio.limiti.attesaMs = opzioni->attesaMs;
    servizio.limiti.testaMs = opzioni->testaMs;
    servizio.massimeConnessioni = opzioni->connessioni;
    servizio.durataS = opzioni->durataS;
    bool tutte = server::ServiFinoAllArresto(ascolto, segnali, servizio);
    std::fprintf(stderr, "noce-server: fermato\n");
    std::fflush(stderr);
    // A connection still running uses `file`: leave without unwinding.
    if (!tutte) _exit(0);
    return 0;
}
