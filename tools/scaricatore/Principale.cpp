// scaricatore.exe -download/NAME -LOCALPATH
//
// Fetches one file from the download server for the installer and reports
// the end of the fetch in "scaricoincorso.max" beside this program: 1 when
// the file is stored under LOCALPATH, 2 when it is not. Exit status 0 on
// success, 1 when the fetch failed, 2 for an unusable command line.
#include <cstdio>
#include <exception>
#include <string>

#include "Argomenti.h"
#include "FileParziale.h"
#include "Impostazioni.h"
#include "LogScarico.h"
#include "Luoghi.h"
#include "Marcatore.h"
#include "Principale.h"
#include "Segnali.h"
#include "Trasferimento.h"

namespace {

int Fallisci(scaricatore::Marcatore& marcatore, const scaricatore::LogScarico& log, const std::string& motivo,
             int uscita) {
    log.Scrivi("Scarico fallito: " + motivo);
    std::fprintf(stderr, "scaricatore: %s\n", motivo.c_str());
    if (!marcatore.Fallito()) log.Scrivi("Impossibile scrivere lo stato in " + marcatore.Percorso());
    return uscita;
}

}  // namespace

namespace scaricatore {

int Principale(int argc, const char* const* argv) {
    Marcatore marcatore(FileAccanto("scaricoincorso.max"));
    segnali::Installa(marcatore.Percorso());
    LogScarico log(FileAccanto("LogScarico.txt"));
    if (!marcatore.InCorso()) log.Scrivi("Impossibile scrivere lo stato in " + marcatore.Percorso());

    std::string errore;
    auto richiesta = LeggiArgomenti(argc, argv, errore);
    if (!richiesta) return Fallisci(marcatore, log, errore, 2);

    try {
        std::string url = UrlDi(richiesta->remoto);
        log.Scrivi("Scarico " + url + " in " + richiesta->locale);
        FileParziale file(PercorsoLocale(richiesta->locale));
        segnali::RicordaParziale(file.Temporaneo());
        int ultimaPercentuale = -1;
        auto avanzamento = [&](std::uint64_t fatti, std::int64_t totale) {
            if (totale <= 0) return;
            int p = static_cast<int>(fatti * 100 / static_cast<std::uint64_t>(totale));
            if (p != ultimaPercentuale && p < 100) {
                ultimaPercentuale = p;
                marcatore.Avanzamento(p);
            }
        };
        Esito esito = Scarica(url, file, LeggiImpostazioni(), log, avanzamento);
        if (!esito.riuscito) return Fallisci(marcatore, log, esito.motivo, 1);
        std::uint64_t byte = file.Dimensione();
        file.Consegna();
        segnali::DimenticaParziale();
        log.Scrivi("Scarico completato: " + std::to_string(byte) + " byte in " + richiesta->locale);
        if (!marcatore.Riuscito()) {
            log.Scrivi("Impossibile scrivere lo stato in " + marcatore.Percorso());
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        return Fallisci(marcatore, log, e.what(), 1);
    }
}

}  // namespace scaricatore
