#pragma once
// The pieces of the HTTP request object on a Linux host: the WinHTTP error
// numbers, the URL, one TCP connection with its time-outs, the reading of a
// response and the decoding of its content.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "../Errori.h"

namespace noce::posix::http {

// The WinHTTP error codes the request object reports; the runtime sees them
// as HRESULTs (0x80070000 | code), negative numbers.
namespace codice {
inline constexpr int Timeout = 12002;
inline constexpr int UrlNonValido = 12005;
inline constexpr int SchemaNonRiconosciuto = 12006;
inline constexpr int NomeNonRisolto = 12007;
inline constexpr int ConnessioneImpossibile = 12029;
inline constexpr int ConnessioneInterrotta = 12030;
inline constexpr int PrimaDiOpen = 12100;
inline constexpr int RispostaNonValida = 12152;
inline constexpr int IntestazioneNonValida = 12153;
}  // namespace codice

// The error for a WinHTTP code, with the text an Italian system gives.
ErroreRuntime ErroreWinHttp(int codice);

struct Url {
    std::string host;      // without brackets for an IPv6 literal
    int porta = 80;
    std::string percorso;  // path and query, never empty
};
// Only http URLs; throws ErroreWinHttp otherwise.
Url AnalizzaUrl(const std::string& url);

// One TCP connection, closed when the object goes.
class Connessione {
public:
    // Connects to the first address of host that answers within the
    // time-out (milliseconds, over all the addresses together).
    Connessione(const std::string& host, int porta, int timeoutMs);
    ~Connessione();
    Connessione(const Connessione&) = delete;
    Connessione& operator=(const Connessione&) = delete;

    // Sends every byte; each wait for the socket to take more is bounded.
    void Invia(const std::string& dati, int timeoutMs);
    // Receives at most n bytes, waiting at most timeoutMs for the first;
    // 0 at the end of the stream.
    std::size_t Ricevi(char* buf, std::size_t n, int timeoutMs);

private:
    int fd_ = -1;
};

using Intestazioni = std::vector<std::pair<std::string, std::string>>;

struct Risposta {
    int status = 0;
    std::string testo;
    Intestazioni intestazioni;
    std::string corpo;  // as it came, before any content decoding
};

// Something that hands out the bytes of a connection: at most n into buf,
// 0 at the end of the stream.
using Sorgente = std::function<std::size_t(char* buf, std::size_t n)>;

// Reads one response: the status line (skipping interim 1xx responses), the
// headers, and the body framed by Content-Length, chunked transfer coding or
// the end of the stream; no body for HEAD, 204 and 304. Asks the source for
// no byte beyond what the framing needs, so a connection kept alive by the
// server is never waited on.
Risposta LeggiRisposta(const Sorgente& sorgente, bool richiestaHead);

// The value of a header (case-insensitive name); repeated headers are
// joined with ", ". Empty when absent.
std::string ValoreIntestazione(const Intestazioni& intestazioni, const std::string& nome);

// Undoes a Content-Encoding list ("gzip", "deflate" with or without the zlib
// wrapper, "identity"), last coding first. Throws the invalid-response error
// for a coding we never asked for or a damaged stream.
std::string DecodificaContenuto(const std::string& codifiche, const std::string& corpo);

}  // namespace noce::posix::http
