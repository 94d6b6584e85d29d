// The installation run: product folder, listed folders, components and
// files, then the font, the shortcut, the edition marker, the completion
// message and the clean-up. It ends the program in every case.
#include <cstdint>
#include <functional>

#include "ListaInstallazione.h"
#include "app/frmPrincipale.h"
#include "platform/ModuleShell.h"
#include "platform/Sistema.h"
#include "platform/mdlFont.h"
#include "platform/mdlLogInstallazione.h"
#include "platform/mdlSystemInfo.h"

namespace noce {

namespace {

constexpr const char* TitoloInstallazione = "NOCE";

// The installer's working files, removed in this order once the product is
// in place.
constexpr const char* FileDiLavoro[] = {"\\lista.txt",          "\\unzip.exe",   "\\LogScarico.txt",
                                        "\\ScaricoInCorso.max", "\\Transito.zip", "\\Scaricatore.exe"};

// Thrown at a second run that tries to start inside a yield of the first.
// It is no std::exception, so no trap on its way mistakes it for a failure;
// the yield that let it in drops it and the first run goes on.
struct RientroRifiutato {};

// Lets pending events run, so the labels repaint.
void Cedi(frmPrincipale& f) {
    try {
        f.ui.DoEvents();
    } catch (const RientroRifiutato&) {
    }
}

// A modal box of the run; events go on while it is open, so it too may
// meet a second run trying to start.
void Avviso(frmPrincipale& f, const std::string& testo, Icona icona) {
    try {
        f.MsgBox(testo, Pulsanti::OK, icona, TitoloInstallazione);
    } catch (const RientroRifiutato&) {
    }
}

// The run's one failure handler. A failure of the font steps is logged and
// passed over (the function returns); any other shows the failure and ends
// the program.
void Fallimento(frmPrincipale& f, int checkpoint, const std::exception& e) {
    ErroreCatturato errore = CatturaErrore(e);
    std::string codice = std::to_string(errore.numero) + "." + std::to_string(checkpoint);
    try {
        ScriviLog("Installazione" + std::string("\r\n") + codice + " " + errore.descrizione);
    } catch (const std::exception&) {
        // The clean-up may already have taken the log away; the person must
        // still see what went wrong.
    }
    if (checkpoint >= 90 && checkpoint <= 99) return;
    Avviso(f, "Errore nell'installazione " + codice + "\r\n" + "Impossibile proseguire.", Icona::Stop);
    f.ui.End();
}

// Removes the sub-folders of a folder with all they hold, depth first.
// Links are not followed: a link is listed and deleted as a file, so what
// it points at stays where it is.
void RimuoviSottocartelle(const std::string& cartella) {
    for (const std::string& nome : sistema::ElencoCartelle(cartella)) {
        const std::string sotto = cartella + "\\" + nome;
        for (const std::string& file : sistema::ElencoFile(sotto)) sistema::EliminaFile(sotto + "\\" + file);
        RimuoviSottocartelle(sotto);
        sistema::RimuoviCartella(sotto);
    }
}

// ---- The steps of the run that have a loop or a choice of their own, in
// the order the run takes them. `checkpoint` is the run's progress mark,
// read by its failure handler.

void CreaCartellaProdotto(frmPrincipale& f) {
    ScriviLog("Creazione Directories");
    ScriviLog("Controllo: " + Nocedir + "\\Noce");
    if (!sistema::EsisteCartella(Nocedir + "\\Noce")) {
        ScriviLog("Creo " + Nocedir + "\\Noce");
        f.lblScritta[2].Caption = Nocedir + "\\Noce";
        sistema::CreaCartella(Nocedir + "\\Noce");
    }
    f.NocePath = Nocedir + "\\Noce";
    ScriviLog("Creazione Directories");
    ScriviLog("Controllo: " + f.NocePath + "\\Files");
    if (!sistema::EsisteCartella(f.NocePath + "\\Files")) {
        ScriviLog("Creo " + f.NocePath + "\\Files");
        f.lblScritta[2].Caption = f.NocePath + "\\Files";
        sistema::CreaCartella(f.NocePath + "\\Files");
    }
}

void CreaCartelleElencate(frmPrincipale& f) {
    for (std::int16_t i = 0, n = static_cast<std::int16_t>(f.List1.ListCount()); i < n; ++i) {
        const std::string percorso = f.NocePath + "\\" + f.List1.List(i);
        if (!sistema::EsisteCartella(percorso)) {
            ScriviLog("Creo: " + percorso);
            f.lblScritta[2].Caption = percorso;
            Cedi(f);
            sistema::CreaCartella(percorso);
        }
    }
}

void InstallaComponenti(frmPrincipale& f, const std::string& cartella) {
    for (std::int16_t i = 0, n = static_cast<std::int16_t>(f.List1.ListCount()); i < n; ++i) {
        const std::string voce = f.List1.List(i);
        const std::string destinazione = SysDir + "\\" + voce;
        const std::string origine = cartella + "\\Files\\" + voce;
        ScriviLog("---- Controllo:" + destinazione);
        if (sistema::EsisteFile(destinazione)) {
            ScriviLog("               Componente già presente");
        } else {
            ScriviLog("              " + origine);
            if (sistema::EsisteFile(origine)) {
                ScriviLog("              Copio: " + origine + "," + destinazione);
                sistema::CopiaFile(origine, destinazione);
                f.lblScritta[2].Caption = destinazione;
                Cedi(f);
                const std::string comando = SysDir + "\\regsvr32 " + "\"" + destinazione + "\"" + " /s";
                ScriviLog("              Eseguo: " + comando);
                EseguiAttendi(comando);
            } else {
                ScriviLog("              Componente non trovato");
            }
        }
        ScriviLog("---- Fine controllo");
    }
}

void CopiaFileElencati(frmPrincipale& f, const std::string& cartella, int& checkpoint) {
    for (std::int16_t i = 0, n = static_cast<std::int16_t>(f.List1.ListCount()); i < n; ++i) {
        const std::string voce = f.List1.List(i);
        checkpoint = 71;
        const std::size_t virgola = voce.find(',');
        const std::size_t posizione = virgola == std::string::npos ? 0 : virgola + 1;  // counted from 1
        checkpoint = 72;
        std::string destinazione = voce.substr(posizione);
        checkpoint = 73;
        // The name is the text before the comma; without a comma there
        // is no such text and the entry cannot be taken.
        if (posizione == 0) throw ErroreDi(err::ChiamataNonValida);
        const std::string nome = voce.substr(0, posizione - 1);
        checkpoint = 74;
        const std::size_t parolaChiave = destinazione.find("AppPath");
        checkpoint = 75;
        if (parolaChiave != std::string::npos) {
            checkpoint = 76;
            destinazione = destinazione.substr(0, parolaChiave) + f.NocePath + destinazione.substr(parolaChiave + 7);
            checkpoint = 77;
        }
        const std::string origine = cartella + "\\files\\" + nome;
        ScriviLog("---- Controllo: " + destinazione + "\\" + nome);
        if (sistema::EsisteFile(destinazione + "\\" + nome)) {
            ScriviLog("                File già presente");
        } else {
            checkpoint = 78;
            ScriviLog("                " + origine);
            if (sistema::EsisteFile(origine)) {
                ScriviLog("Copio: " + origine + "," + destinazione + "\\" + nome);
                checkpoint = 79;
                f.lblScritta[2].Caption = destinazione + "\\" + nome;
                checkpoint = 80;
                Cedi(f);
                checkpoint = 81;
                sistema::CopiaFile(origine, destinazione + "\\" + nome);
                checkpoint = 82;
            } else {
                ScriviLog("                  File non trovato");
            }
        }
        ScriviLog("---- Fine Controllo");
        checkpoint = 83;
    }
}

void InstallaIlFont(frmPrincipale& f, const std::string& cartella, int& checkpoint) {
    // A font step that fails is reported and the run goes on with the next.
    auto passo = [&](const std::function<void()>& azione) {
        try {
            azione();
        } catch (const std::exception& e) {
            Fallimento(f, checkpoint, e);
        }
    };
    passo([&] { ScriviLog("Installazione del font"); });
    if (f.VersioneSO.dwMajorVersion < 6) {
        passo([&] { ScriviLog("Copio il font in " + DirFonts); });
        passo([&] { sistema::CopiaFile(cartella + "\\files\\fulcro.ttf", DirFonts + "\\fulcro.ttf"); });
        checkpoint = 91;
    } else {
        passo([&] { ScriviLog("Installo il font"); });
        passo([&] {
            std::string origineFont = cartella + "\\files";
            std::string nomeFont = "fulcro.ttf";
            InstallaFont(origineFont, nomeFont);
        });
        checkpoint = 92;
    }
}

void ScriviMarcatoreEdizione(frmPrincipale& f, int& checkpoint) {
    if (f.optVersione[0].Value) {
        checkpoint = 111;
        ScriviLog("Versione BASIC");
        sistema::ScriviTesto(f.NocePath + "\\ImpostaRidotto.max", "");
        checkpoint = 112;
        checkpoint = 113;
    } else {
        checkpoint = 114;
        ScriviLog("Versione ESTESA");
        if (sistema::EsisteFile(f.NocePath + "\\ImpostaRidotto.max")) {
            checkpoint = 115;
            sistema::EliminaFile(f.NocePath + "\\ImpostaRidotto.max");
        }
        sistema::ScriviTesto(f.NocePath + "\\NoceImpostaEstesa.fulcro", "");
        checkpoint = 116;
    }
}

void RimuoviFileDiLavoro(frmPrincipale& f, const std::string& cartella) {
    for (const char* nome : FileDiLavoro) {
        if (sistema::EsisteFile(cartella + nome)) sistema::EliminaFile(cartella + nome);
    }
    // The font batch reads the font from DirFiles and lives there itself.
    AttendiFineInstallaFont();
    if (!sistema::EsisteCartella(cartella + "\\files")) return;
    f.File1.Path = cartella + "\\files";
    f.File1.Elementi = sistema::ElencoFile(f.File1.Path);
    for (int i = 0; i < f.File1.ListCount(); ++i) f.List2.AddItem(f.File1.List(i));
    for (int i = 0; i < f.List2.ListCount(); ++i) sistema::EliminaFile(cartella + "\\files\\" + f.List2.List(i));
    // The archive may bring sub-folders: they go too, or the folder could
    // not be removed and a good installation would end in a failure with
    // its files left behind.
    RimuoviSottocartelle(cartella + "\\files");
    sistema::RimuoviCartella(cartella + "\\files");
}

}  // namespace

void frmPrincipale::Installazione() {
    if (runInCorso_) throw RientroRifiutato{};
    InCorso::Guardia guardia(runInCorso_);
    const std::string cartella = CartellaInstallatore();
    int checkpoint = 0;

    try {
        // ---- Start
        lblScritta[1].Caption = "Installazione";
        lblScritta[2].Caption = "";
        lblScritta[2].Visible = true;
        ScriviLog("Inizio installazione");
        Cedi(*this);

        // ---- Product folder
        checkpoint = 10;
        CreaCartellaProdotto(*this);

        // ---- Listed folders
        checkpoint = 20;
        LeggiSezioneLista(List1, cartella + "\\Lista.txt", AperturaDirectories, ChiusuraDirectories);
        checkpoint = 30;
        CreaCartelleElencate(*this);

        // ---- Components
        ScriviLog("Installazione componenti");
        List1.Clear();
        checkpoint = 40;
        LeggiSezioneLista(List1, cartella + "\\Lista.txt", AperturaComponents, ChiusuraComponents);
        checkpoint = 50;
        InstallaComponenti(*this, cartella);

        // ---- Files
        checkpoint = 60;
        List1.Clear();
        ScriviLog("Copia dei files");
        LeggiSezioneLista(List1, cartella + "\\Lista.txt", AperturaFiles, ChiusuraFiles);
        checkpoint = 70;
        CopiaFileElencati(*this, cartella, checkpoint);
        checkpoint = 84;
        // To the disk while the last steps run and the person reads the
        // completion message; the clean-up waits for it.
        sistema::AvviaSalvataggioCopie();

        // ---- Font
        checkpoint = 90;
        InstallaIlFont(*this, cartella, checkpoint);

        // ---- Shell link
        checkpoint = 100;
        ScriviLog("Avvio creazione del link");
        CreaLink();

        // ---- Edition marker
        checkpoint = 101;
        ScriviLog("Imposto la versione");
        checkpoint = 110;
        ScriviMarcatoreEdizione(*this, checkpoint);

        // ---- Completion message
        checkpoint = 117;
        Avviso(*this, "Installazione completata." + std::string("\r\n") + "Riavviare il computer.",
               Icona::Informazione);
        lblScritta[2].Caption = "Installazione completata";
        checkpoint = 118;
        Cedi(*this);
        ScriviLog("Fine");

        // ---- Clean-up
        checkpoint = 119;
        RimuoviFileDiLavoro(*this, cartella);
    } catch (const std::exception& e) {
        Fallimento(*this, checkpoint, e);
    }
    ui.End();
}

}  // namespace noce
