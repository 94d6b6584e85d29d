// noce-server [--port N] [--root DIR] [--bind ADDRESS] [--durata SECONDS]
//
// The download server: serves a folder (the demo content by default) over
// HTTP/1.1. The first line of standard output is the port it listens on,
// alone, so that a caller that asked for port 0 learns which one it got.
// SIGTERM, SIGINT or the end of --durata stop it cleanly.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <ctime>
#include <thread>

#include "FileStatici.h"
#include "Opzioni.h"
#include "Registro.h"

int main(int argc, char** argv) {
    std::string errore;
    auto opzioni = server::LeggiOpzioni(argc, argv, errore);
    if (!opzioni) {
        std::fprintf(stderr, "noce-server: %s\n%s\n", errore.c_str(), server::Uso);
        return 2;
    }

    // The stop signals are taken by one thread with sigwait, where stopping
    // the server is safe; every other thread inherits them blocked.
    sigset_t arresto;
    sigemptyset(&arresto);
    sigaddset(&arresto, SIGTERM);
    sigaddset(&arresto, SIGINT);
    sigaddset(&arresto, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &arresto, nullptr);

    httplib::Server srv;
    srv.set_keep_alive_max_count(100);
    srv.Get(".*", server::FileStatici(opzioni->radice));
    srv.set_logger(server::RegistraRichiesta);

    int porta = opzioni->porta;
    if (porta == 0) {
        porta = srv.bind_to_any_port(opzioni->indirizzo.c_str());
    } else if (!srv.bind_to_port(opzioni->indirizzo.c_str(), porta)) {
        porta = -1;
    }
    if (porta <= 0) {
        std::fprintf(stderr, "noce-server: impossibile ascoltare su %s:%d\n", opzioni->indirizzo.c_str(),
                     opzioni->porta);
        return 1;
    }
    std::printf("%d\n", porta);
    std::fflush(stdout);
    std::fprintf(stderr, "noce-server: %s servito su http://%s:%d/\n", opzioni->radice.c_str(),
                 opzioni->indirizzo.c_str(), porta);

    std::thread guardiano([&] {
        int numero = 0;
        if (opzioni->durataS > 0) {
            timespec attesa{static_cast<std::time_t>(opzioni->durataS), 0};
            numero = sigtimedwait(&arresto, nullptr, &attesa);
        } else {
            sigwait(&arresto, &numero);
        }
        srv.stop();
    });
    bool ok = srv.listen_after_bind();
    // listen can also end by itself (a failing socket): wake the guard.
    pthread_kill(guardiano.native_handle(), SIGTERM);
    guardiano.join();
    std::fprintf(stderr, "noce-server: fermato\n");
    return ok ? 0 : 1;
}
