#include "Connessione.h"

#include <poll.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "Registro.h"

namespace server {

namespace {

using Orologio = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A body on a GET is never used: a small one is read and thrown away so
// the connection can go on, a bigger one is refused unread.
constexpr std::uint64_t MassimoCorpoScartato = 64 * 1024;
constexpr int MassimeRichieste = 100;

enum class Lettura { Pronta, Chiusa, Scaduta };

// Waits until `fd` has bytes or `limite` passes; reads what is there.
Lettura Ricevi(int fd, Orologio::time_point limite, std::string& dati, std::size_t massimo) {
    for (;;) {
        auto resta = std::chrono::duration_cast<milliseconds>(limite - Orologio::now()).count();
        if (resta <= 0) return Lettura::Scaduta;
        pollfd p{fd, POLLIN, 0};
        int n = ::poll(&p, 1, static_cast<int>(std::min<long long>(resta, 1000)));
        if (n < 0 && errno != EINTR) return Lettura::Chiusa;
        if (n <= 0) continue;
        char buf[16384];
        ssize_t k = ::recv(fd, buf, std::min(sizeof buf, massimo), 0);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) return Lettura::Chiusa;
        dati.append(buf, static_cast<std::size_t>(k));
        return Lettura::Pronta;
    }
}

// Reads until `dati` holds a whole head; 0 and the head's end, or the
// status that ends the connection (-1: close without a word).
int LeggiTesta(int fd, std::string& dati, std::size_t& fine, const Limiti& limiti) {
    const auto adesso = Orologio::now();
    const auto scadenza = adesso + milliseconds(limiti.testaMs);
    const auto attesa = std::min(scadenza, adesso + milliseconds(limiti.attesaMs));
    for (;;) {
        if ((fine = FineTesta(dati)) != 0) return 0;
        if (dati.size() > MassimaTesta) return 431;
        Lettura l = Ricevi(fd, dati.empty() ? attesa : scadenza, dati, MassimaTesta + 1 - dati.size());
        if (l == Lettura::Chiusa) return -1;
        if (l == Lettura::Scaduta) return dati.empty() ? -1 : 408;
    }
}

// Throws away a body of `n` bytes, part of which may already be in `dati`.
bool ScartaCorpo(int fd, std::string& dati, std::uint64_t n, const Limiti& limiti) {
    const auto scadenza = Orologio::now() + milliseconds(limiti.testaMs);
    for (;;) {
        std::uint64_t presi = std::min<std::uint64_t>(n, dati.size());
        dati.erase(0, presi);
        n -= presi;
        if (n == 0) return true;
        if (Ricevi(fd, scadenza, dati, static_cast<std::size_t>(std::min<std::uint64_t>(n, 16384))) != Lettura::Pronta)
            return false;
    }
}

bool Scrivi(int fd, const std::string& byte) {
    std::size_t fatto = 0;
    while (fatto < byte.size()) {
        ssize_t k = ::send(fd, byte.data() + fatto, byte.size() - fatto, MSG_NOSIGNAL);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) return false;
        fatto += static_cast<std::size_t>(k);
    }
    return true;
}

bool Invia(int fd, const Risposta& r, bool corpo, bool tieniAperta) {
    std::string testa = "HTTP/1.1 " + std::to_string(r.codice) + " " + FraseDiStato(r.codice) + "\r\n";
    for (const auto& [nome, valore] : r.intestazioni) testa += nome + ": " + valore + "\r\n";
    testa += "Content-Length: " + std::to_string(r.LunghezzaCorpo()) + "\r\n";
    testa += tieniAperta ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    if (corpo && !r.file) testa += r.testo;
    if (!Scrivi(fd, testa)) return false;
    if (!corpo || !r.file) return true;
    off_t da = static_cast<off_t>(r.inizio);
    std::uint64_t resta = r.lunghezza;
    while (resta > 0) {
        ssize_t k = ::sendfile(fd, r.file->Fd(), &da, static_cast<std::size_t>(std::min<std::uint64_t>(resta, 1 << 20)));
        if (k < 0 && errno == EINTR) continue;
        // A file cut short while it is sent ends the connection rather
        // than pad or lie about the length.
        if (k <= 0) return false;
        resta -= static_cast<std::uint64_t>(k);
    }
    return true;
}

// After the last answer: the client gets it whole even when it is still
// sending, instead of a reset that could throw the answer away.
void Congeda(int fd) {
    ::shutdown(fd, SHUT_WR);
    std::string scarto;
    const auto limite = Orologio::now() + milliseconds(500);
    for (int i = 0; i < 64; ++i) {
        scarto.clear();
        if (Ricevi(fd, limite, scarto, 16384) != Lettura::Pronta) return;
    }
}

Risposta Rispondi(const Richiesta& richiesta, const FileStatici& file) {
    if (richiesta.metodo == "GET" || richiesta.metodo == "HEAD") return file.Servi(richiesta);
    Risposta r = RispostaDiTesto(405, "405 Method Not Allowed\n");
    r.Intestazione("Allow", "GET, HEAD");
    return r;
}

}  // namespace

void ServiConnessione(int fd, const std::string& indirizzo, const FileStatici& file, const Limiti& limiti) {
    timeval invio{limiti.invioMs / 1000, (limiti.invioMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &invio, sizeof invio);
    std::string dati;
    for (int numero = 1;; ++numero) {
        std::size_t fine = 0;
        int codice = LeggiTesta(fd, dati, fine, limiti);
        if (codice < 0) return;
        Richiesta richiesta;
        if (codice == 0) codice = LeggiRichiesta(dati.substr(0, fine), richiesta);
        if (codice == 0 && richiesta.lunghezzaCorpo > MassimoCorpoScartato) codice = 413;
        if (codice != 0) {
            Risposta r = RispostaDiTesto(codice, std::string(FraseDiStato(codice)) + "\n");
            RegistraRichiesta(indirizzo, richiesta, r);
            if (Invia(fd, r, true, false)) Congeda(fd);
            return;
        }
        dati.erase(0, fine);
        bool aperta = richiesta.tieniAperta && numero < MassimeRichieste &&
                      ScartaCorpo(fd, dati, richiesta.lunghezzaCorpo, limiti);
        Risposta r = Rispondi(richiesta, file);
        RegistraRichiesta(indirizzo, richiesta, r);
        if (!Invia(fd, r, richiesta.metodo != "HEAD", aperta)) return;
        if (!aperta) {
            Congeda(fd);
            return;
        }
    }
}

void RifiutaConnessione(int fd, int codice) {
    std::string testo = std::string(FraseDiStato(codice)) + "\n";
    std::string tutto = "HTTP/1.1 " + std::to_string(codice) + " " + FraseDiStato(codice) +
                        "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(testo.size()) +
                        "\r\nConnection: close\r\n\r\n" + testo;
    ::send(fd, tutto.data(), tutto.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

}  // namespace server
