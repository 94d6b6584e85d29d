// The HTTP request object: a small HTTP/1.1 client that writes the request
// line and the headers exactly as they were given, in their order. (libcurl
// would move a Host header of ours to the first line.)
#include <climits>
#include <optional>

#include "../CorpoRisposta.h"
#include "../Destinazione.h"
#include "../Minuscolo.h"
#include "../RichiestaHttp.h"
#include "Http.h"

namespace noce {

namespace posix::http {

namespace {

// Bytes a request line cannot carry as they are.
std::string Escape(const std::string& s) {
    static const char* esadecimali = "0123456789ABCDEF";
    std::string fuori;
    for (unsigned char c : s) {
        if (c <= 0x20 || c >= 0x7F) {
            fuori += '%';
            fuori += esadecimali[c >> 4];
            fuori += esadecimali[c & 15];
        } else {
            fuori += static_cast<char>(c);
        }
    }
    return fuori;
}

int Millisecondi(int t) { return t > 0 ? t : INT_MAX; }

}  // namespace

Url AnalizzaUrl(const std::string& url) {
    auto sep = url.find("://");
    if (sep == std::string::npos) throw ErroreWinHttp(codice::UrlNonValido);
    if (MinuscoloNome(url.substr(0, sep)) != "http") throw ErroreWinHttp(codice::SchemaNonRiconosciuto);
    std::string resto = url.substr(sep + 3);
    auto finePadrone = resto.find_first_of("/?#");
    std::string autorita = resto.substr(0, finePadrone);
    std::string percorso = finePadrone == std::string::npos ? "" : resto.substr(finePadrone);
    percorso = percorso.substr(0, percorso.find('#'));
    if (percorso.empty() || percorso[0] != '/') percorso = "/" + percorso;

    Url u;
    u.percorso = Escape(percorso);
    if (autorita.find('@') != std::string::npos) throw ErroreWinHttp(codice::UrlNonValido);
    std::string porta;
    if (!autorita.empty() && autorita[0] == '[') {
        auto chiusa = autorita.find(']');
        if (chiusa == std::string::npos) throw ErroreWinHttp(codice::UrlNonValido);
        u.host = autorita.substr(1, chiusa - 1);
        std::string dopo = autorita.substr(chiusa + 1);
        if (!dopo.empty()) {
            if (dopo[0] != ':') throw ErroreWinHttp(codice::UrlNonValido);
            porta = dopo.substr(1);
        }
    } else {
        auto due = autorita.find(':');
        u.host = autorita.substr(0, due);
        if (due != std::string::npos) porta = autorita.substr(due + 1);
    }
    if (u.host.empty() || u.host.find_first_of(" \t\r\n") != std::string::npos)
        throw ErroreWinHttp(codice::UrlNonValido);
    if (!porta.empty()) {
        if (porta.size() > 5 || porta.find_first_not_of("0123456789") != std::string::npos)
            throw ErroreWinHttp(codice::UrlNonValido);
        u.porta = std::stoi(porta);
        if (u.porta < 1 || u.porta > 65535) throw ErroreWinHttp(codice::UrlNonValido);
    }
    return u;
}

}  // namespace posix::http

using namespace posix::http;

void WinHttpRequest::VerificaUrl(const std::string& url) { AnalizzaUrl(url); }

void WinHttpRequest::Send() {
    if (metodo_.empty()) throw ErroreWinHttp(codice::PrimaDiOpen);
    AzzeraRisposta();

    Url u = AnalizzaUrl(url_);
    std::string richiesta = metodo_ + " " + u.percorso + " HTTP/1.1\r\n";
    bool conHost = false;
    for (const auto& [nome, valore] : intestazioni_) {
        richiesta += nome + ": " + valore + "\r\n";
        conHost = conHost || MinuscoloNome(nome) == "host";
    }
    // HTTP/1.1 has no request without a Host; one set by the caller is
    // never touched or moved.
    if (!conHost) {
        std::string host = u.host.find(':') != std::string::npos ? "[" + u.host + "]" : u.host;
        richiesta += "Host: " + host + (u.porta != 80 ? ":" + std::to_string(u.porta) : "") + "\r\n";
    }
    richiesta += "\r\n";

    auto destinazione = DestinazioneConnessione(u.host, u.porta);
    Connessione connessione(destinazione.host, destinazione.porta, Millisecondi(TimeoutConnessione));
    connessione.Invia(richiesta, Millisecondi(TimeoutInvio));
    const int ricezione = Millisecondi(TimeoutRicezione);
    auto corpo = std::make_unique<CorpoRisposta>();
    std::optional<Decodifica> decodifica;
    Risposta r = LeggiRisposta(
        [&](char* buf, std::size_t n) { return connessione.Ricevi(buf, n, ricezione); }, metodo_ == "HEAD",
        [&](const Risposta& testata) -> Pozzo {
            decodifica.emplace(ValoreIntestazione(testata.intestazioni, "Content-Encoding"),
                               [&](const char* d, std::size_t n) { corpo->Scrivi(d, n); }, LimiteCorpo);
            return [&](const char* d, std::size_t n) { decodifica->Scrivi(d, n); };
        });
    if (decodifica) decodifica->Fine();
    // The connection is closed here even though the server may keep it
    // alive: this object makes one request per Open.
    corpo_ = std::move(corpo);
    status_ = r.status;
    statusText_ = r.testo;
    intestazioniRisposta_ = std::move(r.intestazioni);
}

}  // namespace noce
