#include "ListaInstallazione.h"

#include "platform/Errori.h"
#include "platform/Sistema.h"
#include "platform/mdlLogInstallazione.h"

namespace noce {

std::vector<std::string> RigheLista(const std::string& testo) {
    std::vector<std::string> righe;
    std::string riga;
    bool aperta = false;  // characters seen since the last terminator
    for (std::size_t i = 0; i < testo.size(); ++i) {
        char c = testo[i];
        if (c == '\r') {
            righe.push_back(riga);
            riga.clear();
            aperta = false;
            if (i + 1 < testo.size() && testo[i + 1] == '\n') ++i;
            continue;
        }
        riga += c;
        aperta = true;
    }
    if (aperta) righe.push_back(riga);
    return righe;
}

void LeggiSezioneLista(Controllo& lista, const std::string& percorso, const std::string& apertura,
                       const std::string& chiusura) {
    // The whole file is read before any entry is taken: the pass works on
    // what the file held when it was opened, as a sequential read would.
    const std::vector<std::string> righe = RigheLista(sistema::LeggiTesto(percorso));
    bool dentro = false;
    for (const std::string& riga : righe) {
        if (riga == apertura) {
            dentro = true;
            continue;
        }
        if (riga == chiusura) dentro = false;
        if (!dentro) continue;
        ScriviLog("Metto in lista: " + riga);
        // One entry more than the index can address would wrap it round to
        // a negative number and lose the section's tail: stop instead.
        if (lista.ListCount() >= CapienzaLista) throw ErroreDi(err::Overflow);
        lista.AddItem(riga);
    }
}

}  // namespace noce
