// The transport on Linux: libcurl, one easy handle kept across attempts so
// that a resume may reuse the connection.
#include <curl/curl.h>

#include <stdexcept>

#include "../Trasporto.h"
#include "Versione.h"
#include "platform/RichiestaHttp.h"
#include "platform/Destinazione.h"

namespace scaricatore {

namespace {

size_t AllIntestazione(char* dati, size_t, size_t n, void* utente) {
    static_cast<Ricevente*>(utente)->Intestazione(std::string_view(dati, n));
    return n;
}

size_t AiDati(char* dati, size_t, size_t n, void* utente) {
    return static_cast<Ricevente*>(utente)->Dati(dati, n) ? n : 0;
}

// libcurl calls this about once a second even while nothing arrives, which
// is what the time limits are checked on; its own low-speed check averages
// over a window of its own and would not keep ours.
int AlProgresso(void* utente, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Ricevente*>(utente)->Controlla() ? 0 : 1;
}

class TrasportoCurl : public Trasporto {
public:
    explicit TrasportoCurl(const LogScarico& log) {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK || !(h_ = curl_easy_init()))
            throw std::runtime_error("libcurl non parte");
        curl_easy_setopt(h_, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h_, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(h_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(h_, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(h_, CURLOPT_XFERINFOFUNCTION, AlProgresso);
        // Large reads mean few write calls; on loopback this is what keeps
        // up with curl itself.
        curl_easy_setopt(h_, CURLOPT_BUFFERSIZE, 512L * 1024L);
        std::string agente = "NoceScaricatore/" + std::to_string(noce::VersioneMaggiore) + "." +
                             std::to_string(noce::VersioneMinore) + "." + std::to_string(noce::VersioneRevisione);
        curl_easy_setopt(h_, CURLOPT_USERAGENT, agente.c_str());
        curl_easy_setopt(h_, CURLOPT_HEADERFUNCTION, AllIntestazione);
        curl_easy_setopt(h_, CURLOPT_WRITEFUNCTION, AiDati);
        curl_easy_setopt(h_, CURLOPT_ERRORBUFFER, dettaglio_);

        auto d = noce::DestinazioneConnessione(noce::HostServer, 80);
        if (d.host != noce::HostServer || d.porta != 80) {
            std::string host = d.host.find(':') != std::string::npos ? "[" + d.host + "]" : d.host;
            std::string voce = std::string(noce::HostServer) + ":80:" + host + ":" + std::to_string(d.porta);
            connettiA_ = curl_slist_append(nullptr, voce.c_str());
            curl_easy_setopt(h_, CURLOPT_CONNECT_TO, connettiA_);
            log.Scrivi("Connessione verso " + host + ":" + std::to_string(d.porta));
        }
    }
    ~TrasportoCurl() override {
        curl_slist_free_all(connettiA_);
        curl_slist_free_all(intestazioni_);
        curl_easy_cleanup(h_);
    }

    std::string Esegui(const RichiestaGet& g, Ricevente& ricevente) override {
        curl_easy_setopt(h_, CURLOPT_URL, g.url.c_str());
        curl_easy_setopt(h_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(g.connessione.count()));
        curl_slist_free_all(intestazioni_);
        intestazioni_ = nullptr;
        if (!g.intervallo.empty())
            intestazioni_ = curl_slist_append(nullptr, ("If-Range: " + g.seIntervallo).c_str());
        curl_easy_setopt(h_, CURLOPT_RANGE, g.intervallo.empty() ? nullptr : g.intervallo.c_str());
        curl_easy_setopt(h_, CURLOPT_HTTPHEADER, intestazioni_);
        curl_easy_setopt(h_, CURLOPT_HEADERDATA, &ricevente);
        curl_easy_setopt(h_, CURLOPT_WRITEDATA, &ricevente);
        curl_easy_setopt(h_, CURLOPT_XFERINFODATA, &ricevente);
        dettaglio_[0] = 0;
        CURLcode esito = curl_easy_perform(h_);
        if (esito == CURLE_OK) return "";
        return std::string(curl_easy_strerror(esito)) + (dettaglio_[0] ? std::string(": ") + dettaglio_ : "");
    }

private:
    CURL* h_ = nullptr;
    curl_slist* connettiA_ = nullptr;
    curl_slist* intestazioni_ = nullptr;
    char dettaglio_[CURL_ERROR_SIZE] = {};
};

}  // namespace

std::unique_ptr<Trasporto> CreaTrasporto(const LogScarico& log) { return std::make_unique<TrasportoCurl>(log); }

}  // namespace scaricatore
