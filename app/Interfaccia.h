#pragma once
// The three things a handler of the window may ask of the user interface.
// The FLTK view answers them with real windows; a test answers them from a
// script.
#include <string>

namespace noce {

enum class Icona { Nessuna, Stop, Domanda, Informazione };
enum class Pulsanti { OK, SiNo };

// The answers a message box gives, with their runtime values.
inline constexpr int vbOK = 1;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

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

}  // namespace noce
