#include "../Interruzione.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>

#include "../CodiciUscita.h"

namespace estrattore::interruzione {

namespace {

char temporaneo_[4096];
volatile sig_atomic_t attivo_ = 0;

void AlSegnale(int) {
    if (attivo_) ::unlink(temporaneo_);
    _exit(Interrotto);
}

}  // namespace

void Installa() {
    struct sigaction sa {};
    sa.sa_handler = AlSegnale;
    sigfillset(&sa.sa_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &sa, nullptr);
}

void Ricorda(const std::string& temporaneo) {
    attivo_ = 0;
    if (temporaneo.size() >= sizeof temporaneo_) return;
    std::memcpy(temporaneo_, temporaneo.c_str(), temporaneo.size() + 1);
    attivo_ = 1;
}

void Dimentica() { attivo_ = 0; }

}  // namespace estrattore::interruzione
