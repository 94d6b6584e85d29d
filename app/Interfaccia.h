#pragma once
// What a view of the window is, what it gives, and the promises it keeps.
//
// A view shows frmPrincipale through ComportamentoFinestra
// (ComportamentoFinestra.h), which holds all of the window's behaviour; the
// view only translates:
// - painting: it paints ComportamentoFinestra::Strati, back to front, each
//   layer cut to its visible rectangle, and the caption lines from Righe;
// - input: pointer moves and the left button's press and release, in
//   client pixels, go to Movimento, Pressione and Rilascio; the pointer
//   shape comes from Cursore;
// - time: it gives the two periodic timers of TimerPeriodici and passes
//   each of their ticks to Scatto;
// - requests: it answers InterfacciaUtente for the handlers.
//
// The promises every view keeps:
// - It repaints after every handler and before it shows a box: every event
//   call returns what to bring to the screen, and MsgBox and DoEvents first
//   take ComportamentoFinestra::Aggiorna.
// - The close box ends the program at once, as End does: no handler runs,
//   no log line is written, nothing is cleaned up.
// - A tick of a timer never starts while an earlier tick of the same timer
//   runs, and no tick of TimerCiclo runs before the INSTALLA handler has
//   returned. The window's tick entries drop such a tick themselves, so the
//   view delivers every tick through Scatto, also from inside a box or
//   DoEvents, and never calls a handler of the window directly.
// - DoEvents processes the events pending at that moment (ticks, mouse,
//   repaints) and returns; it does not wait for new ones.
// - Message boxes are modal over the window, nest (a handler run while one
//   is open may open another over it), and the timers keep ticking under
//   them.
#include <string>

namespace noce {

enum class Icona { Nessuna, Stop, Domanda, Informazione };
enum class Pulsanti { OK, SiNo };

// The answers a message box gives, with their runtime values.
inline constexpr int vbOK = 1;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// The three things a handler of the window may ask of the user interface.
// A test answers them from a script.
class InterfacciaUtente {
public:
    virtual ~InterfacciaUtente() = default;
    // Shows a modal message box and returns the button pressed. The first
    // button is the default. Events go on being processed while it is open.
    virtual int MsgBox(const std::string& testo, Pulsanti pulsanti, Icona icona, const std::string& titolo) = 0;
    // Processes the pending events (timers, clicks, repaints) and returns.
    virtual void DoEvents() = 0;
    // Ends the program at once: no further events, no code after the call.
    [[noreturn]] virtual void End() = 0;
};

// The window's two timers.
enum class Orologio { Ciclo, Scorrimento };

// Timers of the toolkit, periodic: once started, a timer ticks every
// `millisecondi` until it is stopped; starting one that runs starts it
// afresh. The view passes each tick to ComportamentoFinestra::Scatto.
class TimerPeriodici {
public:
    virtual ~TimerPeriodici() = default;
    virtual void Avvia(Orologio quale, int millisecondi) = 0;
    virtual void Ferma(Orologio quale) = 0;
};

}  // namespace noce
