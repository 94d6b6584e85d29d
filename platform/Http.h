#pragma once
// The HTTP pieces every platform's request object shares: the WinHTTP error
// numbers, the reading of a response, its headers and the decoding of its
// content.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Errori.h"

namespace noce::http {

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
inline constexpr int RispostaTroppoGrande = 12184;
}  // namespace codice

// The most a response body may take, on the wire and once decoded: the
// bootstrap's program is a few megabytes, and a body past this is a server
// gone wrong, never one to fill the disk with.
inline constexpr std::uint64_t MassimoCorpo = std::uint64_t{256} << 20;

// The error for a WinHTTP code, with the text an Italian system gives;
// `altrimenti` for a code without one here.
ErroreRuntime ErroreWinHttp(int codice, const std::string& altrimenti = "Errore interno");

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

// Where the bytes of a body go, piece by piece.
using Pozzo = std::function<void(const char* dati, std::size_t n)>;

// Reads one response: the status line (skipping interim 1xx responses), the
// headers, and the body framed by Content-Length, chunked transfer coding or
// the end of the stream; no body for HEAD, 204 and 304. Asks the source for
// no byte beyond what the framing needs, so a connection kept alive by the
// server is never waited on.
Risposta LeggiRisposta(const Sorgente& sorgente, bool richiestaHead);
// The same with the body streamed: once the head is read, `perCorpo` says
// where the body's bytes go, and corpo stays empty.
Risposta LeggiRisposta(const Sorgente& sorgente, bool richiestaHead,
                       const std::function<Pozzo(const Risposta& testata)>& perCorpo);

// The value of a header (case-insensitive name); repeated headers are
// joined with ", ". Empty when absent.
std::string ValoreIntestazione(const Intestazioni& intestazioni, const std::string& nome);

// Undoes a Content-Encoding list ("gzip", "deflate" with or without the zlib
// wrapper, "identity"), last coding first. Throws the invalid-response error
// for a coding we never asked for or a damaged stream.
std::string DecodificaContenuto(const std::string& codifiche, const std::string& corpo);

// The same decoding as the body arrives. Past `massimo` bytes received or
// produced it throws the too-large error; Fine() throws for a stream that
// stopped short of its end.
class Decodifica {
public:
    Decodifica(const std::string& codifiche, Pozzo uscita, std::uint64_t massimo = MassimoCorpo);
    ~Decodifica();
    Decodifica(const Decodifica&) = delete;
    Decodifica& operator=(const Decodifica&) = delete;
    void Scrivi(const char* dati, std::size_t n);
    void Fine();

private:
    class Stadio;
    void Conta(std::uint64_t& contatore, std::size_t n);

    Pozzo uscita_, ingresso_;
    std::uint64_t massimo_, ricevuti_ = 0, decodificati_ = 0;
    std::vector<std::unique_ptr<Stadio>> stadi_;
    bool sconosciuta_ = false;
};

}  // namespace noce::http
