#include "../Segnali.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <exception>

#include "../Marcatore.h"

namespace scaricatore::segnali {

namespace {

// Fixed buffers: a handler may neither allocate nor touch std::string.
constexpr std::size_t Massimo = 4096;
char marcatore_[Massimo];
char temporaneo_[Massimo];
char parziale_[Massimo];
volatile sig_atomic_t esitoScritto_ = 0;
volatile sig_atomic_t haParziale_ = 0;

bool Copia(char* destinazione, const std::string& testo) {
    if (testo.size() >= Massimo) return false;
    std::memcpy(destinazione, testo.c_str(), testo.size() + 1);
    return true;
}

void ScriviFallimento() {
    if (haParziale_) ::unlink(parziale_);
    if (!esitoScritto_ && marcatore_[0]) {
        static const char due[] = "2\r\n";
        SostituisciFile(temporaneo_, marcatore_, due, sizeof due - 1);
        esitoScritto_ = 1;
    }
}

void AlSegnale(int numero) {
    ScriviFallimento();
    if (numero == SIGTERM || numero == SIGINT || numero == SIGHUP) _exit(128 + numero);
    // A crash: let the default action run (core dump, the right status).
    signal(numero, SIG_DFL);
    raise(numero);
}

void AlTerminate() {
    ScriviFallimento();
    _exit(3);
}

}  // namespace

void Installa(const std::string& marcatore) {
    auto barra = marcatore.rfind('/');
    std::string temporaneo = marcatore.substr(0, barra + 1) + "." + marcatore.substr(barra + 1) + ".s" +
                             std::to_string(::getpid());
    if (!Copia(marcatore_, marcatore) || !Copia(temporaneo_, temporaneo)) marcatore_[0] = 0;
    struct sigaction sa {};
    sa.sa_handler = AlSegnale;
    sigfillset(&sa.sa_mask);
    for (int s : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        sigaction(s, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
    std::set_terminate(AlTerminate);
}

void RicordaParziale(const std::string& parziale) {
    haParziale_ = 0;
    if (Copia(parziale_, parziale)) haParziale_ = 1;
}

void DimenticaParziale() { haParziale_ = 0; }

void EsitoScritto() { esitoScritto_ = 1; }

}  // namespace scaricatore::segnali
