#pragma once
// What changed on the window since the view last looked: only those places
// are repainted, so the strip moving 40 times a second costs its bar alone.
#include <optional>
#include <string>
#include <vector>

#include "Geometria.h"

namespace noce {

// What a view must bring to the screen.
struct Aggiornamento {
    std::optional<std::string> titolo;  // the window's new caption
    bool tutto = false;                 // the whole client area: the background changed
    std::vector<Rettangolo> danni;      // the places to repaint, client pixels
};

class Ridisegno {
public:
    // Takes the first look: what the window shows now counts as on screen.
    Ridisegno(const frmPrincipale& form, const Geometria& geometria);

    // Compares the window with the last look and takes a new one.
    Aggiornamento Confronta();

private:
    // What the screen shows of one control; a change means a repaint there.
    struct Aspetto {
        Rettangolo posto;  // uncut: the strip moving under its frame changes only this
        Rettangolo visibile;
        bool Enabled = false, Trasparente = false, Value = false;
        std::string Caption;
        Carattere Font;
        Colore ForeColor, BackColor;
        Allineamento Alignment = Allineamento::Sinistra;
        Bordo BorderStyle = Bordo::Nessuno;
        const Immagine* Picture = nullptr;
        std::vector<std::string> Elementi;
        bool operator==(const Aspetto&) const = default;
    };
    Aspetto Fotografa(const Controllo& c) const;

    const frmPrincipale& form_;
    const Geometria& geometria_;
    std::vector<Aspetto> visti_;  // in the order of Geometria::Controlli
    std::string titolo_;
    Colore sfondo_;
};

}  // namespace noce
