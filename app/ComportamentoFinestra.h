#pragma once
// The window's behaviour as a view meets it: the mouse routed to the
// handlers, the timers armed, what to repaint after each event, the layout
// to paint and the pointer to show. Interfaccia.h says how a view uses it.
#include <string>
#include <vector>

#include "Geometria.h"
#include "Instradamento.h"
#include "Interfaccia.h"
#include "Orologi.h"
#include "Ridisegno.h"
#include "Testo.h"

namespace noce {

// The pointer over a point: nullptr is the system's arrow; otherwise the
// picture, with the hot spot in its pixels.
struct Cursore {
    const Immagine* immagine = nullptr;
    int x = 0, y = 0;
    bool operator==(const Cursore&) const = default;
};

class ComportamentoFinestra {
public:
    // Create it before the window's first handler runs; it keeps the view's
    // timers in step from then on.
    ComportamentoFinestra(frmPrincipale& form, TimerPeriodici& timer);
    ComportamentoFinestra(const ComportamentoFinestra&) = delete;
    ComportamentoFinestra& operator=(const ComportamentoFinestra&) = delete;

    // ---- Events, in client pixels. Each runs what it routes to and
    // returns what to repaint.
    // The pointer moved. While the left button is held, the control it was
    // pressed on keeps the mouse.
    Aggiornamento Movimento(int x, int y);
    // The left button. A click is a press and a release over the same
    // control; a disabled control's clicks go to its container.
    void Pressione(int x, int y);
    Aggiornamento Rilascio(int x, int y);
    // A tick of one of the view's timers.
    Aggiornamento Scatto(Orologio quale);
    // After anything else that may have changed the window: before a
    // message box, in DoEvents, after a handler the view ran itself.
    Aggiornamento Aggiorna();

    // ---- Painting.
    Rettangolo Area() const { return geometria_.Area(); }
    std::vector<Strato> Strati() const { return geometria_.Strati(); }
    // A label's caption in lines, wrapped to its width in its font.
    static std::vector<std::string> Righe(const Strato& etichetta, const MisuraTesto& misura);
    Cursore CursoreIn(int x, int y) const;

private:
    frmPrincipale& form_;
    Geometria geometria_;
    Ridisegno ridisegno_;
    Orologi orologi_;
    bool premuto_ = false;
    Controllo* premutoSu_ = nullptr;  // nullptr: the window itself
};

}  // namespace noce
