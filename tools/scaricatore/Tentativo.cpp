#include "Tentativo.h"

#include <exception>

namespace scaricatore {

namespace {

bool CodiceTemporaneo(long codice) { return codice >= 500 || codice == 408 || codice == 429; }

}  // namespace

Tentativo::Tentativo(FileParziale& file, Conosciuto& conosciuto, const LogScarico& log,
                     const Avanzamento& avanzamento, const Limiti& limiti, std::uint64_t richiestoDa,
                     bool vedeUltimoChunk)
    : file_(file),
      conosciuto_(conosciuto),
      log_(log),
      avanzamento_(avanzamento),
      limiti_(limiti),
      richiestoDa_(richiestoDa),
      vedeUltimoChunk_(vedeUltimoChunk),
      sorveglianza_(limiti, Orologio::now()) {}

bool Tentativo::Ferma(Interruzione come, std::string motivo) {
    interruzione_ = come;
    motivo_ = std::move(motivo);
    return false;
}

void Tentativo::Intestazione(std::string_view riga) {
    // Trailers after the chunks come this way too; they change nothing.
    if (!corpoIniziato_) LeggiIntestazione(riga, risposta_);
}

// Decides, once per response, what its body means for the file.
bool Tentativo::IniziaCorpo() {
    if (corpoIniziato_) return interruzione_ == Interruzione::Nessuna;
    corpoIniziato_ = true;
    const Risposta& r = risposta_;
    if (r.codice < 200 || r.codice > 299) {
        std::string motivo = "risposta HTTP " + std::to_string(r.codice) + (r.motivo.empty() ? "" : " " + r.motivo);
        if (r.codice == 416 && richiestoDa_ > 0) return Ferma(Interruzione::RipartiDaZero, motivo);
        return Ferma(CodiceTemporaneo(r.codice) ? Interruzione::Riprova : Interruzione::Fatale, motivo);
    }
    if (!r.nonValida.empty()) return Ferma(Interruzione::Fatale, "risposta non valida: " + r.nonValida);
    decodifica_ = std::make_unique<Decodifica>(r.codifica);
    if (!decodifica_->Errore().empty()) return Ferma(Interruzione::Fatale, decodifica_->Errore());
    // Chunks alone frame a body only where the last one can be seen; else
    // a range or the coding's own end must say where the file stops.
    if (r.chunked && !vedeUltimoChunk_ && r.codice != 206 && !decodifica_->Codificato())
        return Ferma(Interruzione::Fatale, "il server manda il file a pezzi (chunked) senza dirne la lunghezza: "
                                           "non si può sapere se è arrivato tutto");
    if (r.chunked) attesi_ = -1;
    else if (r.lunghezza >= 0) attesi_ = r.lunghezza;
    else if (r.codice == 204) attesi_ = 0;
    else return Ferma(Interruzione::RipartiDaZero, "il server non dice dove finisce il file (né lunghezza né chunked)");

    if (r.codice == 206) return Intervallo();
    if (file_.Dimensione() > 0) {
        log_.Scrivi("Il server manda il file intero (cambiato o senza intervalli): riparto da zero");
        file_.Svuota();
    }
    // A compressed body is resumed by ranges of its compressed form, which
    // are not ranges of the file: it starts again from zero instead.
    bool riprendibile = !decodifica_->Codificato() && attesi_ >= 0;
    conosciuto_.validatore = riprendibile ? r.Validatore() : "";
    conosciuto_.dimensione = riprendibile ? attesi_ : -1;
    return true;
}

// A part is the file's only when it is the one asked for, of the same
// version, and the whole it names is what the first answer announced.
bool Tentativo::Intervallo() {
    const Risposta& r = risposta_;
    bool giusto = richiestoDa_ > 0 && conosciuto_.dimensione > 0 &&
                  r.inizioIntervallo == static_cast<std::int64_t>(richiestoDa_) &&
                  r.totaleIntervallo == conosciuto_.dimensione && r.fineIntervallo == r.totaleIntervallo - 1 &&
                  !decodifica_->Codificato() && (attesi_ < 0 || attesi_ == r.fineIntervallo - r.inizioIntervallo + 1);
    if (!giusto)
        return Ferma(Interruzione::RipartiDaZero, "il server ha mandato un intervallo diverso da quello chiesto (dal byte " +
                                                      std::to_string(richiestoDa_) + " di " +
                                                      std::to_string(conosciuto_.dimensione) + ")");
    std::string v = r.Validatore();
    if (!v.empty() && v != conosciuto_.validatore)
        return Ferma(Interruzione::RipartiDaZero, "il file sul server è cambiato");
    attesi_ = r.fineIntervallo - r.inizioIntervallo + 1;
    return true;
}

bool Tentativo::Dati(const char* dati, std::size_t n) {
    try {
        if (!IniziaCorpo()) return false;
        if (attesi_ >= 0 && ricevuti_ + n > static_cast<std::uint64_t>(attesi_))
            return Ferma(Interruzione::RipartiDaZero, "il server manda più byte di quelli annunciati");
        ricevuti_ += n;
        if (!decodifica_->Aggiungi(dati, n, [&](const char* d, std::size_t k) { file_.Scrivi(d, k); }))
            return Ferma(Interruzione::RipartiDaZero, decodifica_->Errore());
    } catch (const std::exception& e) {
        return Ferma(Interruzione::Fatale, e.what());
    }
    // The marker is rewritten a few times a second at most, not per chunk.
    auto adesso = Orologio::now();
    if (adesso - ultimoAvanzamento_ >= std::chrono::milliseconds(250)) {
        ultimoAvanzamento_ = adesso;
        if (avanzamento_) avanzamento_(file_.Dimensione(), conosciuto_.dimensione);
    }
    return Controlla();
}

bool Tentativo::Controlla() {
    if (interruzione_ != Interruzione::Nessuna) return false;
    auto adesso = Orologio::now();
    std::string motivo = sorveglianza_.Verifica(ricevuti_, adesso);
    if (motivo.empty()) return true;
    return Ferma(adesso >= limiti_.scadenza ? Interruzione::Fatale : Interruzione::Riprova, motivo);
}

void Tentativo::Concludi(const std::string& erroreTrasporto) {
    if (interruzione_ != Interruzione::Nessuna) return;
    if (!erroreTrasporto.empty()) {
        // A transport that timed out itself: say which limit it was.
        if (Controlla()) Ferma(Interruzione::Riprova, erroreTrasporto);
        return;
    }
    try {
        // A response without a body (a 404 with nothing in it, an empty
        // file) never reached Dati.
        if (!IniziaCorpo()) return;
    } catch (const std::exception& e) {
        Ferma(Interruzione::Fatale, e.what());
        return;
    }
    if (attesi_ >= 0 && ricevuti_ != static_cast<std::uint64_t>(attesi_)) {
        Ferma(Interruzione::Riprova, "trasferimento incompleto: " + std::to_string(ricevuti_) + " byte su " +
                                         std::to_string(attesi_));
        return;
    }
    if (!decodifica_->Finito()) {
        Ferma(Interruzione::RipartiDaZero, "il contenuto compresso si interrompe prima della fine");
        return;
    }
    completo_ = true;
}

}  // namespace scaricatore
