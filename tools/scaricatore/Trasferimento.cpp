#include "Trasferimento.h"

#include <algorithm>
#include <thread>

#include "Tentativo.h"
#include "Trasporto.h"

namespace scaricatore {

namespace {

using std::chrono::milliseconds;

milliseconds Pausa(const Impostazioni& imp, int tentativo) {
    long ms = imp.pausaMs;
    for (int i = 1; i < tentativo && ms < imp.pausaMs * 8; ++i) ms *= 2;
    return milliseconds(ms);
}

Limiti LimitiDi(const Impostazioni& imp) {
    Limiti l;
    l.stallo = std::chrono::seconds(imp.stalloS);
    l.finestra = std::chrono::seconds(imp.finestraS);
    l.byteMinimiAlSecondo = static_cast<std::uint64_t>(imp.velocitaMinima);
    l.scadenza = Orologio::now() + std::chrono::seconds(imp.scadenzaS);
    return l;
}

milliseconds Resta(const Limiti& l) {
    return std::max(milliseconds(0), std::chrono::duration_cast<milliseconds>(l.scadenza - Orologio::now()));
}

const char* const Scaduto = "tempo massimo dello scarico superato";

}  // namespace

Esito Scarica(const std::string& url, FileParziale& file, const Impostazioni& imp, const LogScarico& log,
              const Avanzamento& avanzamento) {
    auto trasporto = CreaTrasporto(log);
    const Limiti limiti = LimitiDi(imp);
    Conosciuto conosciuto;
    std::string ultimoMotivo;
    for (int n = 1; n <= imp.tentativi; ++n) {
        if (Resta(limiti) == milliseconds(0)) return {false, Scaduto};
        bool riprendi = file.Dimensione() > 0 && !conosciuto.validatore.empty() &&
                        file.Dimensione() < static_cast<std::uint64_t>(conosciuto.dimensione);
        if (!riprendi && file.Dimensione() > 0) file.Svuota();

        RichiestaGet g;
        g.url = url;
        g.connessione = std::chrono::seconds(imp.connessioneS);
        g.attesa = std::min<milliseconds>(limiti.stallo, Resta(limiti) + milliseconds(1));
        if (riprendi) {
            g.intervallo = std::to_string(file.Dimensione()) + "-";
            g.seIntervallo = conosciuto.validatore;
            log.Scrivi("Tentativo " + std::to_string(n) + ": riprendo dal byte " + std::to_string(file.Dimensione()));
        } else {
            log.Scrivi("Tentativo " + std::to_string(n) + ": GET " + url);
        }

        Tentativo t(file, conosciuto, log, avanzamento, limiti, riprendi ? file.Dimensione() : 0,
                    trasporto->VedeUltimoChunk());
        t.Concludi(trasporto->Esegui(g, t));
        if (t.Completo()) {
            if (avanzamento) avanzamento(file.Dimensione(), conosciuto.dimensione);
            return {true, ""};
        }
        ultimoMotivo = t.Motivo();
        log.Scrivi("Tentativo " + std::to_string(n) + " fallito: " + t.Motivo());
        if (t.Come() == Interruzione::Fatale) return {false, t.Motivo()};
        if (t.Come() == Interruzione::RipartiDaZero) {
            file.Svuota();
            conosciuto = Conosciuto{};
        }
        if (n < imp.tentativi) {
            milliseconds pausa = Pausa(imp, n);
            if (pausa >= Resta(limiti)) return {false, Scaduto};
            std::this_thread::sleep_for(pausa);
        }
    }
    return {false, "nessuno dei " + std::to_string(imp.tentativi) + " tentativi è riuscito (" + ultimoMotivo + ")"};
}

}  // namespace scaricatore
