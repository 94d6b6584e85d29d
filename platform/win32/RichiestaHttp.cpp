// The HTTP request object on WinHTTP, the platform's own HTTP stack (its
// proxy settings and TLS come with it). The request headers are added in
// the caller's order before WinHTTP would add any of its own, so it adds
// none: the six headers of the bootstrap go on the wire as given, Host
// fifth.
#include "../RichiestaHttp.h"

#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>

#include <vector>

#include "../CorpoRisposta.h"
#include "../Destinazione.h"
#include "../Http.h"
#include "../Minuscolo.h"
#include "ErroriWin.h"
#include "Unicode.h"

namespace noce {

using http::ErroreWinHttp;
namespace codice = http::codice;

namespace {

DWORD Millisecondi(int t) { return t > 0 ? static_cast<DWORD>(t) : 0; }

struct Internet {
    HINTERNET h = nullptr;
    ~Internet() {
        if (h) WinHttpCloseHandle(h);
    }
};

struct UrlWin {
    std::wstring host, percorso;
    INTERNET_PORT porta = 80;
    bool sicuro = false;
};

UrlWin Analizza(const std::string& url) {
    std::wstring w = win32::Larga(url);
    URL_COMPONENTS c{};
    c.dwStructSize = sizeof c;
    c.dwHostNameLength = c.dwUrlPathLength = c.dwExtraInfoLength = c.dwSchemeLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(w.c_str(), static_cast<DWORD>(w.size()), 0, &c)) {
        DWORD e = GetLastError();
        throw ErroreWinHttp(e == ERROR_WINHTTP_UNRECOGNIZED_SCHEME ? codice::SchemaNonRiconosciuto
                                                                   : codice::UrlNonValido);
    }
    UrlWin u;
    u.host.assign(c.lpszHostName, c.dwHostNameLength);
    u.percorso.assign(c.lpszUrlPath, c.dwUrlPathLength);
    u.percorso.append(c.lpszExtraInfo, c.dwExtraInfoLength);
    u.percorso = u.percorso.substr(0, u.percorso.find(L'#'));
    if (u.percorso.empty()) u.percorso = L"/";
    u.porta = c.nPort;
    u.sicuro = c.nScheme == INTERNET_SCHEME_HTTPS;
    if (u.host.empty()) throw ErroreWinHttp(codice::UrlNonValido);
    return u;
}

// NOCE_SERVER=HOST:PORT sends every connection to the download server's
// host there; the Host header still names the download server.
void Reindirizza(UrlWin& u) {
    auto d = DestinazioneConnessione(win32::DaLarga(u.host), u.porta);
    u.host = win32::Larga(d.host);
    u.porta = static_cast<INTERNET_PORT>(d.porta);
}

std::wstring Intestazione(HINTERNET r, DWORD quale) {
    DWORD n = 0;
    WinHttpQueryHeaders(r, quale, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &n, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return L"";
    std::wstring v(n / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryHeaders(r, quale, WINHTTP_HEADER_NAME_BY_INDEX, v.data(), &n, WINHTTP_NO_HEADER_INDEX)) return L"";
    v.resize(n / sizeof(wchar_t));
    return v;
}

void Fallito() {
    DWORD e = win32::UltimoErroreWinHttp();
    std::string testo = win32::TestoDiSistema(e, L"winhttp.dll");
    throw ErroreWinHttp(static_cast<int>(e), testo.empty() ? "Errore WinHTTP " + std::to_string(e) : testo);
}

}  // namespace

void WinHttpRequest::VerificaUrl(const std::string& url) { Analizza(url); }

void WinHttpRequest::Send() {
    if (metodo_.empty()) throw ErroreWinHttp(codice::PrimaDiOpen);
    AzzeraRisposta();

    UrlWin u = Analizza(url_);
    const std::wstring hostUrl = u.host;
    const INTERNET_PORT portaUrl = u.porta;
    Reindirizza(u);

    Internet sessione, connessione, richiesta;
    sessione.h = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0);
    if (!sessione.h) Fallito();
    if (!WinHttpSetTimeouts(sessione.h, 0, static_cast<int>(Millisecondi(TimeoutConnessione)),
                            static_cast<int>(Millisecondi(TimeoutInvio)),
                            static_cast<int>(Millisecondi(TimeoutRicezione))))
        Fallito();
    connessione.h = WinHttpConnect(sessione.h, u.host.c_str(), u.porta, 0);
    if (!connessione.h) Fallito();
    richiesta.h = WinHttpOpenRequest(connessione.h, win32::Larga(metodo_).c_str(), u.percorso.c_str(), nullptr,
                                     WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                     u.sicuro ? WINHTTP_FLAG_SECURE : 0);
    if (!richiesta.h) Fallito();
    // No cookie of WinHTTP's own on a redirect either.
    DWORD senza = WINHTTP_DISABLE_COOKIES;
    WinHttpSetOption(richiesta.h, WINHTTP_OPTION_DISABLE_FEATURE, &senza, sizeof senza);
    // The wait for the response's headers has a time-out of its own;
    // the receive time-out covers it, as on Linux.
    DWORD risposta = Millisecondi(TimeoutRicezione);
    if (risposta && !WinHttpSetOption(richiesta.h, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &risposta, sizeof risposta))
        Fallito();

    bool conHost = false;
    for (const auto& [nome, valore] : intestazioni_) {
        std::wstring riga = win32::Larga(nome + ": " + valore);
        if (!WinHttpAddRequestHeaders(richiesta.h, riga.c_str(), static_cast<DWORD>(riga.size()),
                                      WINHTTP_ADDREQ_FLAG_ADD))
            Fallito();
        conHost = conHost || MinuscoloNome(nome) == "host";
    }
    // Without a Host of the caller's, the URL's, also when NOCE_SERVER sends
    // the connection elsewhere.
    if (!conHost) {
        std::wstring riga = L"Host: " + hostUrl + (portaUrl != (u.sicuro ? 443 : 80) ? L":" + std::to_wstring(portaUrl) : L"");
        if (!WinHttpAddRequestHeaders(richiesta.h, riga.c_str(), static_cast<DWORD>(riga.size()), WINHTTP_ADDREQ_FLAG_ADD))
            Fallito();
    }

    if (!WinHttpSendRequest(richiesta.h, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) Fallito();
    if (!WinHttpReceiveResponse(richiesta.h, nullptr)) Fallito();

    DWORD stato = 0, n = sizeof stato;
    if (!WinHttpQueryHeaders(richiesta.h, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &stato, &n, WINHTTP_NO_HEADER_INDEX))
        Fallito();
    std::string testo = win32::DaLarga(Intestazione(richiesta.h, WINHTTP_QUERY_STATUS_TEXT));
    http::Intestazioni intestazioni;
    std::string grezze = win32::DaLarga(Intestazione(richiesta.h, WINHTTP_QUERY_RAW_HEADERS_CRLF));
    for (std::size_t inizio = grezze.find("\r\n"); inizio != std::string::npos;) {
        std::size_t fine = grezze.find("\r\n", inizio + 2);
        std::string riga = grezze.substr(inizio + 2, fine == std::string::npos ? std::string::npos : fine - inizio - 2);
        auto due = riga.find(':');
        if (due != std::string::npos) {
            std::size_t v = riga.find_first_not_of(" \t", due + 1);
            intestazioni.emplace_back(riga.substr(0, due), v == std::string::npos ? "" : riga.substr(v));
        }
        inizio = fine;
    }

    auto corpo = std::make_unique<CorpoRisposta>();
    http::Decodifica decodifica(http::ValoreIntestazione(intestazioni, "Content-Encoding"),
                                [&](const char* d, std::size_t n) { corpo->Scrivi(d, n); }, LimiteCorpo);
    std::vector<char> buf(64 * 1024);
    for (;;) {
        DWORD disponibili = 0;
        if (!WinHttpQueryDataAvailable(richiesta.h, &disponibili)) Fallito();
        if (disponibili == 0) break;
        DWORD letti = 0;
        if (!WinHttpReadData(richiesta.h, buf.data(), disponibili < buf.size() ? disponibili : static_cast<DWORD>(buf.size()), &letti))
            Fallito();
        if (letti == 0) break;
        decodifica.Scrivi(buf.data(), letti);
    }
    decodifica.Fine();
    corpo_ = std::move(corpo);
    status_ = static_cast<int>(stato);
    statusText_ = testo;
    intestazioniRisposta_ = std::move(intestazioni);
}

}  // namespace noce
