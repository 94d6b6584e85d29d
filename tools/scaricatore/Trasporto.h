#pragma once
// The one thing that differs between platforms in a fetch: putting a GET on
// the wire and handing back what comes, as it comes. libcurl on Linux,
// WinHTTP on Windows. Everything that decides whether the bytes are the
// file (framing, ranges, codings, time limits) is the caller's.
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "LogScarico.h"

namespace scaricatore {

struct RichiestaGet {
    std::string url;           // http://HOST/PATH; the connection goes where NOCE_SERVER says
    std::string intervallo;    // "N-" for Range, empty for the whole file
    std::string seIntervallo;  // the If-Range validator, with `intervallo`
    std::chrono::milliseconds connessione{30000};
    // The longest wait for one read, for a transport that cannot be
    // interrupted while it waits.
    std::chrono::milliseconds attesa{30000};
};

class Ricevente {
public:
    virtual ~Ricevente() = default;
    // One header line with its CR LF, status lines included (interim and
    // redirect responses come first, each from its status line).
    virtual void Intestazione(std::string_view riga) = 0;
    // Body bytes as they came off the wire, after the transfer coding (the
    // chunks) has been taken off. False stops the transfer.
    virtual bool Dati(const char* dati, std::size_t n) = 0;
    // Called at least once a second while the transfer waits, and after
    // each read. False stops it.
    virtual bool Controlla() = 0;
};

class Trasporto {
public:
    virtual ~Trasporto() = default;
    // Empty when the transfer ended as the connection's framing says a
    // response ends (for chunked bodies: their last chunk came), else what
    // went wrong. A stop asked by the receiver also ends it with a text.
    virtual std::string Esegui(const RichiestaGet& richiesta, Ricevente& ricevente) = 0;
    // False for a transport that takes the chunks off a body without saying
    // whether the last one came (WinHTTP: a cut looks like the end).
    virtual bool VedeUltimoChunk() const { return true; }
};

// The platform's transport; throws std::runtime_error when it cannot start.
std::unique_ptr<Trasporto> CreaTrasporto(const LogScarico& log);

}  // namespace scaricatore
