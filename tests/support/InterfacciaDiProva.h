#pragma once
// A scripted user interface: message boxes are answered from a list and
// recorded, DoEvents runs an optional hook, End throws FineProgramma so the
// test can look at what the program left behind.
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Interfaccia.h"

namespace noce::prova {

struct FineProgramma {};

struct Riquadro {
    std::string testo;
    Pulsanti pulsanti;
    Icona icona;
    std::string titolo;
};

class InterfacciaDiProva : public InterfacciaUtente {
public:
    std::deque<int> risposte;        // answers, in order; OK when empty
    std::vector<Riquadro> riquadri;  // every box shown
    std::function<void()> suDoEvents;
    std::function<void(const Riquadro&)> suMsgBox;  // runs while the box is "open"
    int doEvents = 0;
    bool terminato = false;

    int MsgBox(const std::string& testo, Pulsanti pulsanti, Icona icona, const std::string& titolo) override {
        riquadri.push_back({testo, pulsanti, icona, titolo});
        if (suMsgBox) suMsgBox(riquadri.back());
        if (risposte.empty()) return pulsanti == Pulsanti::OK ? vbOK : vbYes;
        int r = risposte.front();
        risposte.pop_front();
        return r;
    }
    void DoEvents() override {
        ++doEvents;
        if (suDoEvents) suDoEvents();
    }
    [[noreturn]] void End() override {
        terminato = true;
        throw FineProgramma{};
    }
};

}  // namespace noce::prova
