// rundll32.exe of the emulated machine. The one entry point it knows is
// url.dll's FileProtocolHandler (and its alias OpenURL): the address is
// handed to the host's browser through xdg-open. An address on the
// download server's host goes where NOCE_SERVER sends the installer's own
// connections, so the page opens from the server the installer uses.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "Comandi.h"
#include "platform/Destinazione.h"
#include "platform/RichiestaHttp.h"
#include "platform/Spazi.h"

extern char** environ;

using namespace noce;

namespace {

std::string NomeModulo(std::string dll) {
    auto barra = dll.find_last_of("\\/");
    if (barra != std::string::npos) dll = dll.substr(barra + 1);
    std::string m = comandi::Maiuscolo(dll);
    if (m.size() > 4 && m.ends_with(".DLL")) m.resize(m.size() - 4);
    return m;
}

// http://HOST[:PORT]/... on the download server's host, sent to
// NOCE_SERVER when that is set; every other address is left alone.
std::string UrlReindirizzato(const std::string& url) {
    const std::string schema = "http://";
    if (url.size() <= schema.size() || comandi::Maiuscolo(url.substr(0, schema.size())) != "HTTP://") return url;
    std::size_t inizio = schema.size();
    std::size_t fine = url.find_first_of("/?#", inizio);
    std::string autorita = url.substr(inizio, fine == std::string::npos ? std::string::npos : fine - inizio);
    std::string resto = fine == std::string::npos ? "" : url.substr(fine);
    if (autorita.find('@') != std::string::npos) return url;
    std::string host = autorita;
    int porta = 80;
    auto due = autorita.rfind(':');
    if (due != std::string::npos && autorita.find(']') == std::string::npos) {
        host = autorita.substr(0, due);
        porta = std::atoi(autorita.c_str() + due + 1);
    }
    if (!comandi::UgualeSenzaCaso(host, HostServer)) return url;
    auto d = noce::DestinazioneConnessione(host, porta);
    if (comandi::UgualeSenzaCaso(d.host, host) && d.porta == porta) return url;
    std::string h = d.host.find(':') != std::string::npos ? "[" + d.host + "]" : d.host;
    return "http://" + h + (d.porta == 80 ? "" : ":" + std::to_string(d.porta)) + resto;
}

bool TrovaNelPath(const std::string& nome) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string p = path;
    std::size_t i = 0;
    for (;;) {
        auto fine = p.find(':', i);
        std::string c = p.substr(i, fine == std::string::npos ? std::string::npos : fine - i);
        if (!c.empty() && ::access((c + "/" + nome).c_str(), X_OK) == 0) return true;
        if (fine == std::string::npos) return false;
        i = fine + 1;
    }
}

int Apri(const std::string& url) {
    if (!TrovaNelPath("xdg-open")) {
        std::cerr << "Nessun browser disponibile per aprire " << url
                  << ": xdg-open non si trova (pacchetto xdg-utils)." << std::endl;
        return 2;
    }
    std::string programma = "xdg-open";
    std::vector<char*> argv = {programma.data(), const_cast<char*>(url.c_str()), nullptr};
    pid_t pid;
    int e = posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv.data(), environ);
    if (e != 0) {
        std::cerr << "Impossibile avviare xdg-open per aprire " << url << "." << std::endl;
        return 2;
    }
    int stato = 0;
    while (waitpid(pid, &stato, 0) < 0 && errno == EINTR) {
    }
    int codice = WIFEXITED(stato) ? WEXITSTATUS(stato) : 1;
    if (codice != 0) {
        std::cerr << "Il browser non ha potuto aprire " << url << " (xdg-open: codice " << codice << ")." << std::endl;
        return codice;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // "DLL,ENTRY rest": the C runtime split it; the entry may also have
    // been written after a blank ("url.dll, FileProtocolHandler").
    std::string riga;
    for (int i = 1; i < argc; ++i) riga += (i > 1 ? " " : "") + std::string(argv[i]);
    riga = SenzaSpazi(riga);
    auto virgola = riga.find(',');
    if (riga.empty() || virgola == std::string::npos) {
        std::cerr << "Sintassi: rundll32.exe url.dll,FileProtocolHandler INDIRIZZO" << std::endl;
        return 1;
    }
    std::string dll = SenzaSpazi(riga.substr(0, virgola));
    std::string dopo = SenzaSpazi(riga.substr(virgola + 1));
    auto spazio = dopo.find_first_of(" \t");
    std::string funzione = dopo.substr(0, spazio);
    std::string argomento = spazio == std::string::npos ? "" : SenzaSpazi(dopo.substr(spazio));

    std::string f = comandi::Maiuscolo(funzione);
    if (NomeModulo(dll) != "URL" || (f != "FILEPROTOCOLHANDLER" && f != "FILEPROTOCOLHANDLERA" && f != "OPENURL" &&
                                     f != "OPENURLA")) {
        std::cerr << "Errore in " << dll << ": impossibile trovare il punto di ingresso " << funzione
                  << ". Questa macchina conosce solo url.dll,FileProtocolHandler." << std::endl;
        return 1;
    }
    if (argomento.empty()) {
        std::cerr << "Nessun indirizzo da aprire." << std::endl;
        return 1;
    }
    return Apri(UrlReindirizzato(argomento));
}
