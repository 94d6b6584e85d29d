// Drives two pieces of the platform library from the command line, so that
// bench/casi_ostili.sh can put an old and a new build side by side:
//   sonda registro           REG_SZ values holding 00 c0 b8, 00 ea and ff 00 41,
//                            written and read back (hex, both ways)
//   sonda http PATH          a GET of PATH from the download server; the
//                            status or the error, and the peak memory
// The drive folder is NOCE_DRIVE_C, the server NOCE_SERVER, as for the installer.
#include <sys/resource.h>

#include <cstdio>
#include <exception>
#include <string>

#include "platform/RichiestaHttp.h"
#include "platform/posix/Registro.h"

namespace {

std::string Esadecimale(const std::string& s) {
    std::string r;
    char b[4];
    for (unsigned char c : s) {
        std::snprintf(b, sizeof b, "%02x", c);
        r += r.empty() ? "" : " ";
        r += b;
    }
    return r;
}

long PiccoMiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

int Registro() {
    const std::string chiave = "HKEY_CURRENT_USER\\Software\\ProvaOstile";
    const std::string valori[] = {std::string("\x00\xc0\xb8", 3), std::string("\x00\xea", 2),
                                  std::string("\xff\x00\x41", 3)};
    int diversi = 0;
    for (int i = 0; i < 3; ++i) {
        std::string nome = "v" + std::to_string(i);
        std::string letto = "(errore)";
        try {
            noce::posix::ImpostaValoreRegistro(chiave, {nome, "REG_SZ", valori[i]});
            auto v = noce::posix::LeggiValoreRegistro(chiave, nome);
            letto = v ? Esadecimale(v->dati) : "(assente)";
        } catch (const std::exception& e) {
            letto = std::string("(errore: ") + e.what() + ")";
        }
        std::printf("%s -> %s\n", Esadecimale(valori[i]).c_str(), letto.c_str());
        if (letto != Esadecimale(valori[i])) ++diversi;
    }
    return diversi;
}

int Http(const std::string& percorso) {
    noce::WinHttpRequest r;
    r.TimeoutRicezione = 20000;
    try {
        r.Open("GET", std::string("http://download.noce.example") + percorso, false);
        r.Send();
        std::printf("status %d, peak %ld MiB after Send", r.Status(), PiccoMiB());
        std::size_t n = r.ResponseBody().size();
        std::printf(", body %zu B, peak %ld MiB\n", n, PiccoMiB());
        return 0;
    } catch (const std::exception& e) {
        std::printf("error \"%s\", peak %ld MiB\n", e.what(), PiccoMiB());
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string cosa = argc > 1 ? argv[1] : "";
    if (cosa == "registro") return Registro();
    if (cosa == "http" && argc > 2) return Http(argv[2]);
    std::fprintf(stderr, "uso: sonda registro | sonda http PERCORSO\n");
    return 2;
}
