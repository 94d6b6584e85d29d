// regsvr32.exe of the emulated machine: records a component's registration
// in the machine's registry (/u removes it). There is no window to show a
// message in, so the messages go to standard error; /s silences the
// success message only, a failure is always told.
//
// Exit codes as Windows' regsvr32: 0 done, 1 bad command line, 3 the file
// cannot be loaded, 5 the registration failed.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "Comandi.h"
#include "platform/PercorsiHost.h"
#include "platform/posix/Registro.h"

using namespace noce;

namespace {

constexpr int FallitiArgomenti = 1;
constexpr int FallitoCaricamento = 3;
constexpr int FallitaRegistrazione = 5;

void Sintassi() {
    std::cerr << "Sintassi: regsvr32 [/u] [/s] nome_dll\n"
                 "/u - Annulla la registrazione del server\n"
                 "/s - Modalità non interattiva; non visualizza alcun messaggio di conferma"
              << std::endl;
}

// What LoadLibrary would find: the name as given (on the current folder
// when relative), else the system folder. Empty when nothing is there.
std::string TrovaModulo(const std::string& nome, std::string& motivo) {
    std::vector<std::string> candidati = {nome};
    bool relativo = nome.find_first_of("\\/:") == std::string::npos;
    if (relativo) candidati.push_back("C:\\Windows\\System32\\" + nome);
    for (const auto& c : candidati) {
        std::string host = noce::sistema::PercorsoHost(c);
        struct stat st;
        if (stat(host.c_str(), &st) != 0) continue;
        if (!S_ISREG(st.st_mode)) {
            motivo = "Accesso negato.";
            return {};
        }
        int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            motivo = "Accesso negato.";
            return {};
        }
        char b;
        ssize_t k = ::read(fd, &b, 1);
        ::close(fd);
        if (k < 0) {
            motivo = "Accesso negato.";
            return {};
        }
        return noce::sistema::PercorsoWindows(host);
    }
    motivo = "Impossibile trovare il modulo specificato.";
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    bool silenzioso = false, annulla = false;
    std::vector<std::string> moduli;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (!a.empty() && (a[0] == '/' || a[0] == '-')) {
            std::string o = comandi::Maiuscolo(a.substr(1));
            if (o == "S") silenzioso = true;
            else if (o == "U") annulla = true;
            else if (o == "C") {
            } else {
                std::cerr << "Opzione della riga di comando non riconosciuta: \"" << a << "\"" << std::endl;
                Sintassi();
                return FallitiArgomenti;
            }
        } else {
            moduli.push_back(a);
        }
    }
    if (moduli.empty()) {
        std::cerr << "Per eseguire questa operazione è necessario specificare un nome di file binario." << std::endl;
        Sintassi();
        return FallitiArgomenti;
    }

    int codice = 0;
    const char* funzione = annulla ? "DllUnregisterServer" : "DllRegisterServer";
    for (const auto& m : moduli) {
        std::string motivo;
        std::string percorso = TrovaModulo(m, motivo);
        if (percorso.empty()) {
            std::cerr << "Impossibile caricare il modulo \"" << m << "\".\n\n"
                      << "Verificare che il file binario sia memorizzato nel percorso specificato.\n\n"
                      << motivo << std::endl;
            if (!codice) codice = FallitoCaricamento;
            continue;
        }
        try {
            if (annulla) posix::AnnullaRegistrazioneComponente(percorso);
            else posix::RegistraComponente(percorso);
        } catch (const std::exception& e) {
            std::cerr << funzione << " in " << percorso << " non riuscita.\n" << comandi::Messaggio(e) << std::endl;
            if (!codice) codice = FallitaRegistrazione;
            continue;
        }
        if (!silenzioso) std::cerr << funzione << " in " << percorso << " riuscita." << std::endl;
    }
    return codice;
}
