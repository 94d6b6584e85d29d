// The pipeline cycle: one step per tick of TimerCiclo, from the list fetch
// to the hand-over to the installation run.
#include "Marcatore.h"
#include "app/frmPrincipale.h"
#include "platform/ModuleShell.h"
#include "platform/mdlLogInstallazione.h"

namespace noce {

namespace {

constexpr const char* TitoloCiclo = "NOCE Installazione";

}  // namespace

void frmPrincipale::TickCiclo() {
    // A question or the installation run lets events through while the
    // timer stays enabled; a second tick then would ask the question or
    // start the run again.
    if (!TimerCiclo.Enabled || cicloInCorso_ || installaInCorso_) return;
    InCorso::Guardia guardia(cicloInCorso_);
    Evento([this] { TimerCiclo_Timer(); });
}

void frmPrincipale::TimerCiclo_Timer() {
    const std::string cartella = CartellaInstallatore();
    const std::string marcatore = cartella + "\\scaricoincorso.max";

    auto eliminaMarcatore = [&] {
        if (sistema::EsisteFile(marcatore)) sistema::EliminaFile(marcatore);
    };
    // A waiting state: 1 in the marker moves on, 2 reports the failed fetch
    // and ends; anything else, or no marker yet, keeps waiting while the
    // downloader runs. One that has ended without its verdict never will
    // write it: that fetch has failed. The end is looked at before the
    // marker, so a verdict written just before the end is never missed.
    auto attendi = [&](std::uint8_t prossima, const char* messaggio) {
        const bool finito = scaricatore_ != 0 && sistema::ProgrammaTerminato(scaricatore_);
        auto stato = StatoMarcatore(marcatore);
        if (finito && (!stato || (*stato != 1 && *stato != 2))) stato = 2;
        if (!stato) return;
        if (*stato == 1) {
            FaseCiclo = prossima;
        } else if (*stato == 2) {
            MsgBox(messaggio, Pulsanti::OK, Icona::Stop, TitoloCiclo);
            ui.End();
        }
    };

    switch (FaseCiclo) {
    case fase::ScaricaLista:
        ScriviLog("Controlo la presenza del file lista.txt");
        eliminaMarcatore();
        ImgTasto[0].Visible = false;
        ImgTasto[1].Visible = false;
        optVersione[0].Enabled = false;
        optVersione[1].Enabled = false;
        ui.DoEvents();
        ScriviLog("Avvio scarico lista");
        ScaricoLista();
        // Straight to the extractor when the operator kept the list that was there.
        if (FaseCiclo != fase::ScaricaEstrattore) FaseCiclo = fase::AttendiLista;
        break;

    case fase::AttendiLista:
        attendi(fase::ScaricaEstrattore, "Errore nello scarico della lista files.");
        break;

    case fase::ScaricaEstrattore:
        ScriviLog("Controllo la presenza del file unzip");
        eliminaMarcatore();
        if (sistema::EsisteFile(cartella + "\\unzip.exe")) {
            ScriviLog("Elimino unzip.exe");
            sistema::EliminaFile(cartella + "\\unzip.exe");
        }
        ScriviLog("Scarico UnZip");
        ScaricoUnZip();
        // Straight to the archive when the operator kept the extractor that was there.
        if (FaseCiclo != fase::ScaricaArchivio) FaseCiclo = fase::AttendiEstrattore;
        break;

    case fase::AttendiEstrattore:
        attendi(fase::ScaricaArchivio, "Errore nello scarico dell'estrattore.");
        break;

    case fase::ScaricaArchivio:
        eliminaMarcatore();
        ScriviLog("Scarico Zip");
        ScaricoZip();
        // Straight to the extraction when the operator kept the archive that was there.
        if (FaseCiclo != fase::Estrai) FaseCiclo = fase::AttendiArchivio;
        break;

    case fase::AttendiArchivio:
        attendi(fase::Estrai, "Errore nello scarico dell'archivio.");
        break;

    case fase::Estrai: {
        const std::string riga = "\"" + cartella + "\\unzip\" -o \"" + cartella + "\\transito.zip\" -d \"" + DirFiles + "\"";
        ScriviLog(riga);
        EseguiAttendi(riga);
        FaseCiclo = fase::Installa;
        break;
    }

    case fase::Installa:
        Installazione();
        // Only if the run ever came back: it must not start again.
        TimerCiclo.Enabled = false;
        break;

    default: break;
    }
}

}  // namespace noce
