// The failure path of the bootstrap and of the three fetch starters: one
// log text, one box, the end of the program.
#include "app/frmPrincipale.h"
#include "platform/mdlLogInstallazione.h"

namespace noce {

void frmPrincipale::FallimentoScarico(const char* procedura, const std::string& checkpoint, const std::exception& e) {
    ErroreCatturato errore = CatturaErrore(e);
    const std::string testo = std::to_string(errore.numero) + "." + checkpoint + " " + errore.descrizione;
    try {
        ScriviLog(std::string(procedura) + "\r\n" + testo);
    } catch (const std::exception&) {
        // A log that cannot be written must not hide the failure itself.
    }
    MsgBox(testo, Pulsanti::OK, Icona::Nessuna);
    ui.End();
}

}  // namespace noce
