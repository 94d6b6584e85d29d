#pragma once
// The installer's only window: its controls, the state it owns for the
// whole run, and its handlers. No toolkit type appears here; the view draws
// these data and forwards events to the handlers.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Controlli.h"
#include "InCorso.h"
#include "Interfaccia.h"
#include "platform/RichiestaHttp.h"
#include "platform/Sistema.h"

namespace noce {

// The program's title, shown by message boxes that have none of their own.
inline constexpr const char* TitoloApplicazione = "NoceInstallazione";

// The states of the pipeline cycle, by the number FaseCiclo holds: each
// fetch is started in one state and waited for in the next.
namespace fase {
enum : std::uint8_t {
    ScaricaLista = 0,
    AttendiLista = 1,
    ScaricaEstrattore = 2,
    AttendiEstrattore = 3,
    ScaricaArchivio = 4,
    AttendiArchivio = 5,
    Estrai = 6,
    Installa = 7,
};
}  // namespace fase

class frmPrincipale {
public:
    explicit frmPrincipale(InterfacciaUtente& ui);
    frmPrincipale(const frmPrincipale&) = delete;
    frmPrincipale& operator=(const frmPrincipale&) = delete;

    // ---- The window and its controls, in layering order (front first) ----
    std::string Caption = "NOCE installazione";
    double Width = 0, Height = 0;  // outer size in twips, frame included
    double ScaleWidth = 6945, ScaleHeight = 3360;  // client area in twips
    Colore BackColor = SfondoFinestra;

    Controllo picMano;
    Controllo picInformazioni;
    Controllo lblCliccaQui;
    Controllo lblInformazioni;
    Controllo List2;
    Controllo File1;
    Timer TimerCiclo;
    Controllo picVersione;
    std::array<Controllo, 2> optVersione;
    Timer tmrScorrimento;
    std::array<Controllo, 4> PicImmTasto;
    Controllo List1;
    Controllo picConteiner;
    Controllo picInterno;
    Controllo lblSO;
    std::array<Controllo, 3> lblScritta;
    Controllo lblSfondo;
    std::array<Controllo, 2> ImgTasto;

    // Every control, front first, as the view layers them.
    std::vector<Controllo*> Controlli();

    // ---- State the window owns ----
    std::uint8_t FaseCiclo = 0;
    std::unique_ptr<WinHttpRequest> RichiestaHttp;
    sistema::OSVERSIONINFOA VersioneSO;
    std::string NocePath;

    // ---- Handlers ----
    void Form_Load();
    void Form_Activate();
    void Form_MouseMove();
    void ImgTasto_Click(std::int16_t Index);
    void ImgTasto_MouseMove(std::int16_t Index);
    void lblInformazioni_MouseMove();
    void picInformazioni_MouseMove();
    void picVersione_MouseMove();
    void lblCliccaQui_MouseMove();
    void lblCliccaQui_Click();
    void tmrScorrimento_Timer();
    void TimerCiclo_Timer();

    // The view calls these for timer ticks: a tick never starts while an
    // earlier tick of the same timer is running, and no tick of TimerCiclo
    // runs while the INSTALLA handler has not returned.
    void TickScorrimento();  // app/
    void TickCiclo();        // download/

    // The download pipeline (download/).
    void ScaricoScaricatore();
    void ScaricoLista();
    void ScaricoUnZip();
    void ScaricoZip();

    // The installation run and its completion (install/). It never returns:
    // it ends the program through ui.End(). Neither this nor
    // FallimentoScarico is declared [[noreturn]]: GCC does not see End's
    // [[noreturn]] through the virtual call.
    void Installazione();

    // Runs an event handler as the runtime does: an error that no trap
    // caught is reported in a message box ("Errore di run-time") and ends
    // the program, so no failure passes unseen.
    void Evento(const std::function<void()>& gestore);

    InterfacciaUtente& ui;

    // A message box; an empty title shows the program's title.
    int MsgBox(const std::string& testo, Pulsanti pulsanti, Icona icona, const std::string& titolo = "");

private:
    void RipristinaTasti();
    // Gives a control a picture; an image control takes the picture's size.
    static void AssegnaImmagine(Controllo& c, const Immagine* immagine);
    // Logs and shows the failure of a download procedure and ends the
    // program through ui.End().
    void FallimentoScarico(const char* procedura, const std::string& checkpoint, const std::exception& e);

    // The entries that must not start inside themselves or each other (see
    // TickScorrimento, TickCiclo and Installazione); INSTALLA may nest.
    InCorso cicloInCorso_;
    InCorso scorrimentoInCorso_;
    InCorso installaInCorso_;
    InCorso runInCorso_;
    // The downloader of the fetch being waited for; 0 when none was started
    // (the operator kept the file that was there).
    std::int64_t scaricatore_ = 0;
};

// The folder of the running installer, without a trailing "\".
std::string CartellaInstallatore();

}  // namespace noce
