// The two image buttons, their hover faces and the help link.
#include "frmPrincipale.h"
#include "platform/mdlLogInstallazione.h"

namespace noce {

namespace {

// Leftovers of an earlier attempt, removed by INSTALLA in this order.
// "\transito.zip" is not among them: the archive question meets it.
constexpr const char* Residui[] = {"\\logscarico.txt", "\\lista.txt", "\\scaricatore.exe", "\\unzip.exe"};

constexpr const char* PaginaAiuto = "/guida-in-linea/video/win7_installazione_amministratore.php";

}  // namespace

void frmPrincipale::ImgTasto_Click(std::int16_t Index) {
    if (Index == 1) {
        ScriviLog("Premuto 'Esci'");
        ui.End();
    }
    // No tick of the cycle may run before this handler has returned: the
    // downloader must be in place for the first one.
    InCorso::Guardia guardia(installaInCorso_);

    FaseCiclo = fase::ScaricaLista;
    tmrScorrimento.Enabled = true;
    picConteiner.Visible = true;
    ScriviLog("Premuto 'Installa'");
    for (const char* nome : Residui) {
        std::string percorso = CartellaInstallatore() + nome;
        if (sistema::EsisteFile(percorso)) sistema::EliminaFile(percorso);
    }
    TimerCiclo.Enabled = true;
    lblScritta[0].Caption = "Attendere...";
    lblScritta[1].Caption = "";
    ScaricoScaricatore();
    lblScritta[1].Caption = "Scarico lista";
    lblScritta[2].Visible = false;
}

void frmPrincipale::ImgTasto_MouseMove(std::int16_t Index) {
    if (Index == 0) AssegnaImmagine(ImgTasto[0], PicImmTasto[1].Picture);
    else AssegnaImmagine(ImgTasto[1], PicImmTasto[3].Picture);
}

void frmPrincipale::Form_MouseMove() {
    AssegnaImmagine(ImgTasto[0], PicImmTasto[0].Picture);
    AssegnaImmagine(ImgTasto[1], PicImmTasto[2].Picture);
}

void frmPrincipale::RipristinaTasti() {
    AssegnaImmagine(ImgTasto[0], PicImmTasto[0].Picture);
    AssegnaImmagine(ImgTasto[1], PicImmTasto[2].Picture);
    lblCliccaQui.Font.Underline = false;
}

void frmPrincipale::lblInformazioni_MouseMove() { RipristinaTasti(); }
void frmPrincipale::picInformazioni_MouseMove() { RipristinaTasti(); }
void frmPrincipale::picVersione_MouseMove() { RipristinaTasti(); }

void frmPrincipale::lblCliccaQui_MouseMove() {
    lblCliccaQui.MouseIcon = picMano.Picture;
    lblCliccaQui.MousePointer = Puntatore::Personalizzato;
    lblCliccaQui.Font.Underline = true;
}

void frmPrincipale::lblCliccaQui_Click() {
    sistema::AvviaProgramma(std::string("rundll32.exe url.dll,FileProtocolHandler http://") + HostServer + PaginaAiuto,
                            sistema::StileFinestra::IngranditaAttiva);
}

}  // namespace noce
