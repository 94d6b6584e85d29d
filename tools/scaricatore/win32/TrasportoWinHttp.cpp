// The transport on Windows: WinHTTP, the system's own HTTP stack (its proxy
// settings and TLS come with it). It takes the chunks off a body but
// decodes nothing: codings stay the fetch's to undo.
#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>

#include <stdexcept>
#include <vector>

#include "../Trasporto.h"
#include "Versione.h"
#include "platform/Destinazione.h"
#include "platform/RichiestaHttp.h"
#include "platform/win32/ErroriWin.h"
#include "platform/win32/Unicode.h"

namespace scaricatore {

namespace {

using noce::win32::DaLarga;
using noce::win32::Larga;

struct Internet {
    HINTERNET h = nullptr;
    ~Internet() {
        if (h) WinHttpCloseHandle(h);
    }
};

std::string Errore(const char* dove) {
    DWORD e = noce::win32::UltimoErroreWinHttp();
    std::string testo = noce::win32::TestoDiSistema(e, L"winhttp.dll");
    return std::string(dove) + ": " + (testo.empty() ? "errore WinHTTP " + std::to_string(e) : testo);
}

DWORD Ms(std::chrono::milliseconds d) { return d.count() > 0 ? static_cast<DWORD>(d.count()) : 1; }

struct Url {
    std::wstring host, percorso;
    INTERNET_PORT porta = 80;
};

Url Analizza(const std::string& url) {
    std::wstring w = Larga(url);
    URL_COMPONENTS c{};
    c.dwStructSize = sizeof c;
    c.dwHostNameLength = c.dwUrlPathLength = c.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(w.c_str(), static_cast<DWORD>(w.size()), 0, &c)) throw std::runtime_error(Errore(url.c_str()));
    Url u;
    u.host.assign(c.lpszHostName, c.dwHostNameLength);
    u.percorso.assign(c.lpszUrlPath, c.dwUrlPathLength);
    u.percorso.append(c.lpszExtraInfo, c.dwExtraInfoLength);
    u.porta = c.nPort;
    return u;
}

bool Aggiungi(HINTERNET r, const std::string& riga) {
    std::wstring w = Larga(riga);
    return WinHttpAddRequestHeaders(r, w.c_str(), static_cast<DWORD>(w.size()),
                                    WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
}

// The status line and the headers, one line at a time with its CR LF.
void Intestazioni(HINTERNET r, Ricevente& ricevente) {
    DWORD n = 0;
    WinHttpQueryHeaders(r, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &n,
                        WINHTTP_NO_HEADER_INDEX);
    std::wstring testa(n / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryHeaders(r, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, testa.data(), &n,
                             WINHTTP_NO_HEADER_INDEX))
        return;
    testa.resize(n / sizeof(wchar_t));
    std::string s = DaLarga(testa);
    for (std::size_t i = 0; i < s.size();) {
        std::size_t fine = s.find("\r\n", i);
        fine = fine == std::string::npos ? s.size() : fine + 2;
        ricevente.Intestazione(std::string_view(s).substr(i, fine - i));
        i = fine;
    }
}

class TrasportoWinHttp : public Trasporto {
public:
    explicit TrasportoWinHttp(const LogScarico& log) : log_(log) {
        std::wstring agente = L"NoceScaricatore/" + std::to_wstring(noce::VersioneMaggiore) + L"." +
                              std::to_wstring(noce::VersioneMinore) + L"." + std::to_wstring(noce::VersioneRevisione);
        sessione_.h = WinHttpOpen(agente.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, 0);
        if (!sessione_.h) throw std::runtime_error(Errore("WinHTTP non parte"));
    }

    std::string Esegui(const RichiestaGet& g, Ricevente& ricevente) override {
        Url u = Analizza(g.url);
        std::string host = DaLarga(u.host);
        auto d = noce::DestinazioneConnessione(host, u.porta);
        if (d.host != host || d.porta != u.porta) {
            if (!detto_) log_.Scrivi("Connessione verso " + d.host + ":" + std::to_string(d.porta));
            detto_ = true;
        }
        // Receiving waits at most one stall: WinHTTP cannot be asked between
        // two bytes, so its own time-out is the stall watch.
        if (!WinHttpSetTimeouts(sessione_.h, 0, static_cast<int>(Ms(g.connessione)), static_cast<int>(Ms(g.attesa)),
                                static_cast<int>(Ms(g.attesa))))
            return Errore("time-out");
        Internet connessione, richiesta;
        connessione.h = WinHttpConnect(sessione_.h, Larga(d.host).c_str(), static_cast<INTERNET_PORT>(d.porta), 0);
        if (!connessione.h) return Errore("connessione");
        richiesta.h = WinHttpOpenRequest(connessione.h, L"GET", u.percorso.c_str(), nullptr, WINHTTP_NO_REFERER,
                                         WINHTTP_DEFAULT_ACCEPT_TYPES, 0);
        if (!richiesta.h) return Errore("richiesta");
        // A redirect is an answer that is not the file, as on Linux.
        DWORD senza = WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_REDIRECTS;
        WinHttpSetOption(richiesta.h, WINHTTP_OPTION_DISABLE_FEATURE, &senza, sizeof senza);
        DWORD attesa = Ms(g.attesa);
        WinHttpSetOption(richiesta.h, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &attesa, sizeof attesa);
        std::string nomeHost = host + (u.porta != 80 ? ":" + std::to_string(u.porta) : "");
        if (!Aggiungi(richiesta.h, "Host: " + nomeHost)) return Errore("intestazioni");
        if (!g.intervallo.empty() &&
            (!Aggiungi(richiesta.h, "Range: bytes=" + g.intervallo) || !Aggiungi(richiesta.h, "If-Range: " + g.seIntervallo)))
            return Errore("intestazioni");

        if (!WinHttpSendRequest(richiesta.h, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
            return Errore("invio della richiesta");
        if (!WinHttpReceiveResponse(richiesta.h, nullptr)) return Errore("risposta");
        Intestazioni(richiesta.h, ricevente);
        if (!ricevente.Controlla()) return "interrotto";

        std::vector<char> blocco(512 * 1024);
        for (;;) {
            DWORD letti = 0;
            if (!WinHttpReadData(richiesta.h, blocco.data(), static_cast<DWORD>(blocco.size()), &letti))
                return Errore("ricezione");
            if (letti == 0) return "";
            if (!ricevente.Dati(blocco.data(), letti)) return "interrotto";
        }
    }

    bool VedeUltimoChunk() const override { return false; }

private:
    const LogScarico& log_;
    Internet sessione_;
    bool detto_ = false;
};

}  // namespace

std::unique_ptr<Trasporto> CreaTrasporto(const LogScarico& log) { return std::make_unique<TrasportoWinHttp>(log); }

}  // namespace scaricatore
