// The three fetches through the downloader: each starts scaricatore.exe on
// its own and returns; the cycle learns the outcome from the marker.
#include "app/frmPrincipale.h"
#include "platform/mdlLogInstallazione.h"

namespace noce {

namespace {

constexpr const char* TitoloArchivio = "NOCE";

}  // namespace

void frmPrincipale::ScaricoLista() {
    try {
        const std::string cartella = CartellaInstallatore();
        if (sistema::EsisteFile(cartella + "\\lista.txt")) {
            if (MsgBox("File lista già presente, lo scarico di nuovo?", Pulsanti::SiNo, Icona::Domanda) == vbNo) {
                // The list that is there is used; the cycle goes on with
                // the extractor instead of waiting for a fetch never made.
                FaseCiclo = fase::ScaricaEstrattore;
                return;
            }
        }
        ScriviLog(cartella + "\\scaricatore.exe -download/lista.txt -" + cartella + "\\lista.txt");
        scaricatore_ = sistema::AvviaProgramma(
            cartella + "\\scaricatore.exe -download/lista.txt -" + cartella + "\\lista.txt",
            sistema::StileFinestra::RidottaAttiva);
    } catch (const std::exception& e) {
        FallimentoScarico("ScaricoLista", "", e);
    }
}

void frmPrincipale::ScaricoUnZip() {
    try {
        const std::string cartella = CartellaInstallatore();
        lblScritta[1].Caption = "Scarico UnZip";
        ui.DoEvents();
        if (sistema::EsisteFile(cartella + "\\unzip.exe")) {
            if (MsgBox("Scompattatore già presente, lo scarico di nuovo?", Pulsanti::SiNo, Icona::Domanda) == vbNo) {
                // As for the list: the extractor that is there is used.
                FaseCiclo = fase::ScaricaArchivio;
                return;
            }
        }
        scaricatore_ = sistema::AvviaProgramma(
            cartella + "\\scaricatore.exe -download/unzip.exe -" + cartella + "\\unzip.exe",
            sistema::StileFinestra::RidottaAttiva);
    } catch (const std::exception& e) {
        FallimentoScarico("ScaricoUnZip", "", e);
    }
}

void frmPrincipale::ScaricoZip() {
    try {
        const std::string cartella = CartellaInstallatore();
        lblScritta[1].Caption = "Scarico Archivio Zip";
        int risposta = 0;
        if (sistema::EsisteFile(cartella + "\\transito.zip")) {
            risposta = MsgBox("E' già presente il file transito.zip.\r\nScaricarlo di nuovo?", Pulsanti::SiNo,
                              Icona::Nessuna, TitoloArchivio);
            if (risposta == vbYes) {
                sistema::EliminaFile(cartella + "\\transito.zip");
                if (sistema::EsisteFile(cartella + "\\transito.zip")) {
                    MsgBox("Non è stato possibile sostituire il file transito.zip.\r\nImpossibile preoseguire.",
                           Pulsanti::OK, Icona::Stop, TitoloArchivio);
                    ui.End();
                }
            }
        }
        ui.DoEvents();
        if (risposta == vbNo) {
            ScriviLog("Non scarico");
            FaseCiclo = fase::Estrai;
            return;
        }
        scaricatore_ = sistema::AvviaProgramma(
            cartella + "\\scaricatore.exe -download/FulcroNoceFiles.zip -" + cartella + "\\Transito.zip",
            sistema::StileFinestra::RidottaAttiva);
    } catch (const std::exception& e) {
        FallimentoScarico("ScaricoZip", "", e);
    }
}

}  // namespace noce
