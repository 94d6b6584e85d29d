// The window's design: every control as it stands before start-up runs.
#include "frmPrincipale.h"

#include "platform/Sistema.h"

namespace noce {

namespace {

Controllo Crea(const char* nome, int indice, TipoControllo tipo, Controllo* contenitore, double left, double top,
               double width, double height, bool visibile) {
    Controllo c;
    c.Name = nome;
    c.Index = indice;
    c.Tipo = tipo;
    c.Container = contenitore;
    c.Left = left;
    c.Top = top;
    c.Width = width;
    c.Height = height;
    c.Visible = visibile;
    return c;
}

Carattere Sans(double punti, bool grassetto) { return {"MS Sans Serif", punti, grassetto, false}; }

void Istruzione(Controllo& c, const char* testo) {
    c.Caption = testo;
    c.Font = {"Times New Roman", 14.25, true, false};
    c.ForeColor = Navy;
    c.Trasparente = true;
}

}  // namespace

frmPrincipale::frmPrincipale(InterfacciaUtente& interfaccia) : ui(interfaccia) {
    using T = TipoControllo;
    // The outer size: the client area plus a fixed single frame and a
    // title bar, as Windows draws them at 96 dots per inch.
    Width = ScaleWidth + 2 * 4 * TwipsPerPixel;
    Height = ScaleHeight + (2 * 4 + 22) * TwipsPerPixel;

    picMano = Crea("picMano", -1, T::CasellaImmagine, nullptr, 6120, 840, 615, 735, false);
    picMano.BorderStyle = Bordo::Rilievo3D;
    picMano.Picture = &immagini::Mano();

    picInformazioni = Crea("picInformazioni", -1, T::CasellaImmagine, nullptr, 720, 0, 4095, 2055, false);
    picInformazioni.BackColor = Bianco;
    picInformazioni.ForeColor = Bianco;
    picInformazioni.BorderStyle = Bordo::Piatto;

    lblCliccaQui = Crea("lblCliccaQui", -1, T::Etichetta, &picInformazioni, 120, 1560, 2775, 195, true);
    lblCliccaQui.Caption = "Clicca qui per sapere come fare.";
    lblCliccaQui.Font = Sans(8.25, true);
    lblCliccaQui.ForeColor = Navy;
    lblCliccaQui.BackColor = Bianco;

    lblInformazioni = Crea("lblInformazioni", -1, T::Etichetta, &picInformazioni, 240, 240, 1935, 615, true);
    lblInformazioni.Caption = "lblInformazioni";
    lblInformazioni.Font = Sans(12, true);
    lblInformazioni.Alignment = Allineamento::Centro;
    lblInformazioni.ForeColor = Navy;
    lblInformazioni.BackColor = Bianco;

    List2 = Crea("List2", -1, T::Elenco, nullptr, 5640, 480, 255, 450, false);
    File1 = Crea("File1", -1, T::ElencoFile, nullptr, 4680, 360, 375, 480, false);
    TimerCiclo = {"TimerCiclo", false, 2000};

    picVersione = Crea("picVersione", -1, T::CasellaImmagine, nullptr, 120, 1680, 6735, 495, true);
    picVersione.BackColor = SfondoFinestra;
    picVersione.ForeColor = ColoreSistemaTesto;
    picVersione.BorderStyle = Bordo::Piatto;

    optVersione[1] = Crea("optVersione", 1, T::Opzione, &picVersione, 2760, 120, 2535, 255, true);
    optVersione[1].Caption = "Versione ESTESA";
    optVersione[0] = Crea("optVersione", 0, T::Opzione, &picVersione, 240, 120, 2055, 255, true);
    optVersione[0].Caption = "Versione BASIC";
    optVersione[0].Value = true;
    for (auto& o : optVersione) {
        o.Font = Sans(9.75, true);
        o.ForeColor = Navy;
        o.BackColor = SfondoFinestra;
    }

    tmrScorrimento = {"tmrScorrimento", false, 25};

    // The four faces lie outside the client area: never seen, only lent.
    const double facce[4][2] = {{7080, 3840}, {5880, 4440}, {5880, 5160}, {5880, 5760}};
    const Immagine* immaginiFacce[4] = {&immagini::TastoInstalla(), &immagini::TastoInstallaAcceso(),
                                        &immagini::TastoEsci(), &immagini::TastoEsciAcceso()};
    for (int i = 3; i >= 0; --i) {
        PicImmTasto[static_cast<std::size_t>(i)] =
            Crea("PicImmTasto", i, T::CasellaImmagine, nullptr, facce[i][0], facce[i][1], 1335, 495, true);
        PicImmTasto[static_cast<std::size_t>(i)].Picture = immaginiFacce[i];
        PicImmTasto[static_cast<std::size_t>(i)].BorderStyle = Bordo::Rilievo3D;
    }

    List1 = Crea("List1", -1, T::Elenco, nullptr, 360, 3840, 4335, 3180, true);

    picConteiner = Crea("picConteiner", -1, T::CasellaImmagine, nullptr, 0, 2880, 6975, 495, false);
    picConteiner.BorderStyle = Bordo::Piatto;
    picInterno = Crea("picInterno", -1, T::CasellaImmagine, &picConteiner, 0, 0, 3375, 615, true);
    picInterno.BorderStyle = Bordo::Piatto;
    picInterno.Picture = &immagini::Striscia();

    lblSO = Crea("lblSO", -1, T::Etichetta, nullptr, 120, 2520, 4335, 255, true);
    lblSO.Caption = "SO";
    lblSO.Font = {"Arial", 8.25, false, false};
    lblSO.ForeColor = Navy;
    lblSO.Trasparente = true;

    lblScritta[2] = Crea("lblScritta", 2, T::Etichetta, nullptr, 360, 960, 6255, 375, true);
    Istruzione(lblScritta[2], "ESCI per annullare l'installazione");
    lblScritta[1] = Crea("lblScritta", 1, T::Etichetta, nullptr, 360, 600, 6255, 495, true);
    Istruzione(lblScritta[1], "INSTALLA per installare NOCE,");
    lblScritta[0] = Crea("lblScritta", 0, T::Etichetta, nullptr, 120, 120, 6255, 375, true);
    Istruzione(lblScritta[0], "Premere:");

    lblSfondo = Crea("lblSfondo", -1, T::Etichetta, nullptr, 0, 240, 6975, 1095, true);
    lblSfondo.Caption = "FULCRO";
    lblSfondo.Font = {"Times New Roman", 36, true, false};
    lblSfondo.ForeColor = Bianco;
    lblSfondo.Alignment = Allineamento::Centro;
    lblSfondo.Trasparente = true;

    ImgTasto[1] = Crea("ImgTasto", 1, T::Immagine, nullptr, 5760, 2400, 1125, 405, true);
    ImgTasto[0] = Crea("ImgTasto", 0, T::Immagine, nullptr, 4560, 2400, 1125, 405, true);
}

std::vector<Controllo*> frmPrincipale::Controlli() {
    return {&picMano,        &picInformazioni, &lblCliccaQui,   &lblInformazioni, &List2,          &File1,
            &picVersione,    &optVersione[1],  &optVersione[0], &PicImmTasto[3],  &PicImmTasto[2], &PicImmTasto[1],
            &PicImmTasto[0], &List1,           &picConteiner,   &picInterno,      &lblSO,          &lblScritta[2],
            &lblScritta[1],  &lblScritta[0],   &lblSfondo,      &ImgTasto[1],     &ImgTasto[0]};
}

int frmPrincipale::MsgBox(const std::string& testo, Pulsanti pulsanti, Icona icona, const std::string& titolo) {
    return ui.MsgBox(testo, pulsanti, icona, titolo.empty() ? std::string(TitoloApplicazione) : titolo);
}

void frmPrincipale::Evento(const std::function<void()>& gestore) {
    try {
        gestore();
    } catch (const std::exception& e) {
        auto errore = CatturaErrore(e);
        MsgBox("Errore di run-time '" + std::to_string(errore.numero) + "':\r\n\r\n" + errore.descrizione, Pulsanti::OK,
               Icona::Stop);
        ui.End();
    }
}

std::string CartellaInstallatore() { return sistema::CartellaProgramma(); }

}  // namespace noce
