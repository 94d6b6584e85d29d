// Start-up: Form_Load before the window is shown, Form_Activate once it is.
#include "Versione.h"
#include "frmPrincipale.h"
#include "platform/mdlLogInstallazione.h"
#include "platform/mdlSystemInfo.h"

namespace noce {

void frmPrincipale::AssegnaImmagine(Controllo& c, const Immagine* immagine) {
    c.Picture = immagine;
    if (c.Tipo == TipoControllo::Immagine && immagine) {
        c.Width = immagine->larghezza * TwipsPerPixel;
        c.Height = immagine->altezza * TwipsPerPixel;
    }
}

void frmPrincipale::Form_Load() {
    LeggiCartelle();

    AssegnaImmagine(ImgTasto[0], PicImmTasto[0].Picture);
    AssegnaImmagine(ImgTasto[1], PicImmTasto[2].Picture);

    RichiestaHttp = std::make_unique<WinHttpRequest>();

    DirFiles = CartellaInstallatore() + "\\files";
    if (!sistema::EsisteCartella(DirFiles)) sistema::CreaCartella(DirFiles);

    sistema::ScriviTesto(DirFiles + "\\logInstallazione.txt", "");
    ScriviLog("Inizio procedura");

    picInterno.Width = 1386.0 * TwipsPerPixel;
    picInterno.Left = picConteiner.Width - picInterno.Width;

    Caption = "NOCE Installazione " + std::to_string(VersioneMaggiore) + "." + std::to_string(VersioneRevisione);

    VersioneSO.dwOSVersionInfoSize = 148;
    sistema::GetVersionExA(VersioneSO);

    if (VersioneSO.dwPlatformId == sistema::PiattaformaWin32Windows) lblSO.Caption = " - 95";
    if (VersioneSO.dwPlatformId == sistema::PiattaformaWin32NT) lblSO.Caption = " - NT";
    lblSO.Caption = " Windows " + std::to_string(VersioneSO.dwMajorVersion) + "." +
                    std::to_string(VersioneSO.dwMinorVersion) + " " + lblSO.Caption;

    picInformazioni.Left = 0;
    picInformazioni.Top = 0;
    picInformazioni.Width = Width;
    picInformazioni.Height = ImgTasto[1].Top;
    lblInformazioni.Width = picInformazioni.Width - lblInformazioni.Left;
}

void frmPrincipale::Form_Activate() {
    if (sistema::IsNTAdmin(0, nullptr) != 0) return;
    // The help label stays on the notice on the systems its page is about,
    // so the person who lacks the rights there can learn how to get them.
    lblCliccaQui.Visible = VersioneSO.dwMajorVersion == 6;
    lblInformazioni.Caption = "Il programma di installazione\r\ndeve essere avviato come amministratore.";
    picInformazioni.Visible = true;
    ImgTasto[0].Visible = false;
}

}  // namespace noce
