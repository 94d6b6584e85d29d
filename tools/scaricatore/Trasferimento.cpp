#include "Trasferimento.h"

#include <curl/curl.h>

#include <chrono>
#include <exception>
#include <memory>
#include <thread>

#include "Risposta.h"
#include "Versione.h"
#include "platform/RichiestaHttp.h"
#include "platform/Destinazione.h"

namespace scaricatore {

namespace {

using Orologio = std::chrono::steady_clock;

// How an attempt ended when it did not bring the whole file.
enum class Interruzione { Nessuna, Riprova, RipartiDaZero, Fatale };

struct Tentativo {
    Tentativo(FileParziale& f, const LogScarico& l, const Avanzamento& a, std::string& v)
        : file(f), log(l), avanzamento(a), validatore(v) {}
    FileParziale& file;
    const LogScarico& log;
    const Avanzamento& avanzamento;
    std::string& validatore;  // kept across attempts
    std::uint64_t richiestoDa = 0;
    Risposta risposta;
    bool corpoIniziato = false;
    std::int64_t totale = -1;
    Interruzione interruzione = Interruzione::Nessuna;
    std::string motivo;
    Orologio::time_point ultimoAvanzamento{};
    // The stall watch: when the last byte came, and how long silence may last.
    Orologio::time_point ultimoByte = Orologio::now();
    curl_off_t ricevuti = 0;
    std::chrono::seconds stallo{30};
};

bool CodiceTemporaneo(long codice) { return codice >= 500 || codice == 408 || codice == 429; }

// Decides, once per response, what its body means for the file.
bool IniziaCorpo(Tentativo& t) {
    if (t.corpoIniziato) return true;
    const Risposta& r = t.risposta;
    if (r.codice < 200 || r.codice > 299) {
        t.motivo = "risposta HTTP " + std::to_string(r.codice) + (r.motivo.empty() ? "" : " " + r.motivo);
        if (r.codice == 416 && t.richiestoDa > 0) t.interruzione = Interruzione::RipartiDaZero;
        else t.interruzione = CodiceTemporaneo(r.codice) ? Interruzione::Riprova : Interruzione::Fatale;
        return false;
    }
    if (r.codice == 206) {
        if (r.inizioIntervallo < 0 || static_cast<std::uint64_t>(r.inizioIntervallo) != t.richiestoDa) {
            t.motivo = "il server ha mandato un intervallo diverso da quello chiesto";
            t.interruzione = Interruzione::RipartiDaZero;
            return false;
        }
        std::string v = r.Validatore();
        if (!t.validatore.empty() && !v.empty() && v != t.validatore) {
            t.motivo = "il file sul server è cambiato";
            t.interruzione = Interruzione::RipartiDaZero;
            return false;
        }
        t.totale = r.totaleIntervallo;
    } else {
        if (t.file.Dimensione() > 0) {
            t.log.Scrivi("Il server manda il file intero (cambiato o senza intervalli): riparto da zero");
            t.file.Svuota();
        }
        t.validatore = r.Validatore();
        t.totale = r.lunghezza;
    }
    t.corpoIniziato = true;
    return true;
}

size_t AllIntestazione(char* dati, size_t, size_t n, void* utente) {
    auto& t = *static_cast<Tentativo*>(utente);
    LeggiIntestazione(std::string_view(dati, n), t.risposta);
    return n;
}

size_t AiDati(char* dati, size_t, size_t n, void* utente) {
    auto& t = *static_cast<Tentativo*>(utente);
    try {
        if (!IniziaCorpo(t)) return 0;
        if (t.totale >= 0 && t.file.Dimensione() + n > static_cast<std::uint64_t>(t.totale)) {
            t.motivo = "il server manda più byte di quelli annunciati";
            t.interruzione = Interruzione::RipartiDaZero;
            return 0;
        }
        t.file.Scrivi(dati, n);
    } catch (const std::exception& e) {
        t.motivo = e.what();
        t.interruzione = Interruzione::Fatale;
        return 0;
    }
    // The marker is rewritten a few times a second at most, not per chunk.
    auto adesso = Orologio::now();
    if (adesso - t.ultimoAvanzamento >= std::chrono::milliseconds(250)) {
        t.ultimoAvanzamento = adesso;
        if (t.avanzamento) t.avanzamento(t.file.Dimensione(), t.totale);
    }
    return n;
}

// "No byte for so many seconds", measured from the last byte itself:
// libcurl's own low-speed check averages over a window of several seconds
// and lets a stall after a burst run on for much longer than asked.
int AlProgresso(void* utente, curl_off_t, curl_off_t scaricati, curl_off_t, curl_off_t) {
    auto& t = *static_cast<Tentativo*>(utente);
    auto adesso = Orologio::now();
    if (scaricati != t.ricevuti) {
        t.ricevuti = scaricati;
        t.ultimoByte = adesso;
        return 0;
    }
    if (adesso - t.ultimoByte < t.stallo) return 0;
    t.motivo = "nessun dato dal server da " + std::to_string(t.stallo.count()) + " s";
    t.interruzione = Interruzione::Riprova;
    return 1;
}

struct Curl {
    CURL* h = curl_easy_init();
    curl_slist* connettiA = nullptr;
    curl_slist* intestazioni = nullptr;
    ~Curl() {
        curl_slist_free_all(connettiA);
        curl_slist_free_all(intestazioni);
        if (h) curl_easy_cleanup(h);
    }
};

void Prepara(Curl& c, const std::string& url, const Impostazioni& imp, const LogScarico& log) {
    curl_easy_setopt(c.h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c.h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c.h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c.h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(c.h, CURLOPT_CONNECTTIMEOUT, imp.connessioneS);
    curl_easy_setopt(c.h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c.h, CURLOPT_XFERINFOFUNCTION, AlProgresso);
    // Large reads mean few write calls; on loopback this is what keeps up
    // with curl itself.
    curl_easy_setopt(c.h, CURLOPT_BUFFERSIZE, 512L * 1024L);
    std::string agente = "NoceScaricatore/" + std::to_string(noce::VersioneMaggiore) + "." +
                         std::to_string(noce::VersioneMinore) + "." + std::to_string(noce::VersioneRevisione);
    curl_easy_setopt(c.h, CURLOPT_USERAGENT, agente.c_str());
    curl_easy_setopt(c.h, CURLOPT_HEADERFUNCTION, AllIntestazione);
    curl_easy_setopt(c.h, CURLOPT_WRITEFUNCTION, AiDati);

    auto d = noce::DestinazioneConnessione(noce::HostServer, 80);
    if (d.host != noce::HostServer || d.porta != 80) {
        std::string host = d.host.find(':') != std::string::npos ? "[" + d.host + "]" : d.host;
        std::string voce = std::string(noce::HostServer) + ":80:" + host + ":" + std::to_string(d.porta);
        c.connettiA = curl_slist_append(nullptr, voce.c_str());
        curl_easy_setopt(c.h, CURLOPT_CONNECT_TO, c.connettiA);
        log.Scrivi("Connessione verso " + host + ":" + std::to_string(d.porta));
    }
}

std::chrono::milliseconds Pausa(const Impostazioni& imp, int tentativo) {
    long ms = imp.pausaMs;
    for (int i = 1; i < tentativo && ms < imp.pausaMs * 8; ++i) ms *= 2;
    return std::chrono::milliseconds(ms);
}

}  // namespace

Esito Scarica(const std::string& url, FileParziale& file, const Impostazioni& imp, const LogScarico& log,
              const Avanzamento& avanzamento) {
    Curl c;
    if (!c.h) return {false, "libcurl non si inizializza"};
    Prepara(c, url, imp, log);
    char dettaglio[CURL_ERROR_SIZE];
    curl_easy_setopt(c.h, CURLOPT_ERRORBUFFER, dettaglio);

    std::string validatore;
    std::string ultimoMotivo;
    for (int n = 1; n <= imp.tentativi; ++n) {
        Tentativo t(file, log, avanzamento, validatore);
        bool riprendi = file.Dimensione() > 0 && !validatore.empty();
        if (!riprendi && file.Dimensione() > 0) file.Svuota();
        t.richiestoDa = riprendi ? file.Dimensione() : 0;

        curl_slist_free_all(c.intestazioni);
        c.intestazioni = nullptr;
        std::string intervallo;
        if (riprendi) {
            intervallo = std::to_string(t.richiestoDa) + "-";
            c.intestazioni = curl_slist_append(nullptr, ("If-Range: " + validatore).c_str());
            log.Scrivi("Tentativo " + std::to_string(n) + ": riprendo dal byte " + std::to_string(t.richiestoDa));
        } else {
            log.Scrivi("Tentativo " + std::to_string(n) + ": GET " + url);
        }
        curl_easy_setopt(c.h, CURLOPT_RANGE, riprendi ? intervallo.c_str() : nullptr);
        curl_easy_setopt(c.h, CURLOPT_HTTPHEADER, c.intestazioni);
        curl_easy_setopt(c.h, CURLOPT_HEADERDATA, &t);
        curl_easy_setopt(c.h, CURLOPT_WRITEDATA, &t);
        curl_easy_setopt(c.h, CURLOPT_XFERINFODATA, &t);
        t.stallo = std::chrono::seconds(imp.stalloS);
        dettaglio[0] = 0;

        CURLcode esito = curl_easy_perform(c.h);
        if (esito == CURLE_OK && t.interruzione == Interruzione::Nessuna) {
            // A response without a body (a 404 with nothing in it, an empty
            // file) never reached the data callback.
            try {
                if (IniziaCorpo(t)) {
                    if (t.totale < 0 || file.Dimensione() == static_cast<std::uint64_t>(t.totale)) {
                        if (avanzamento) avanzamento(file.Dimensione(), t.totale);
                        return {true, ""};
                    }
                    t.motivo = "trasferimento incompleto: " + std::to_string(file.Dimensione()) + " byte su " +
                               std::to_string(t.totale);
                    t.interruzione = Interruzione::Riprova;
                }
            } catch (const std::exception& e) {
                t.motivo = e.what();
                t.interruzione = Interruzione::Fatale;
            }
        } else if (t.interruzione == Interruzione::Nessuna) {
            t.motivo = std::string(curl_easy_strerror(esito)) + (dettaglio[0] ? std::string(": ") + dettaglio : "");
            t.interruzione = Interruzione::Riprova;
        }

        ultimoMotivo = t.motivo;
        log.Scrivi("Tentativo " + std::to_string(n) + " fallito: " + t.motivo);
        if (t.interruzione == Interruzione::Fatale) return {false, t.motivo};
        if (t.interruzione == Interruzione::RipartiDaZero) {
            file.Svuota();
            validatore.clear();
        }
        if (n < imp.tentativi) std::this_thread::sleep_for(Pausa(imp, n));
    }
    return {false, "nessuno dei " + std::to_string(imp.tentativi) + " tentativi è riuscito (" + ultimoMotivo + ")"};
}

}  // namespace scaricatore
