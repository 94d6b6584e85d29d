#pragma once
// The HTTP pieces every platform's request object shares: the WinHTTP error
// numbers, the reading of a response, its headers and the decoding of its
// content.
#include <cstddef>
#include <cstdint>
#include <functional>
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
}  // namespace codice

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

}  // namespace noce::http
