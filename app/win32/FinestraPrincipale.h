#pragma once
// The installer's window on Windows: a fixed top-level window with a close
// box only. It paints the layers ComportamentoFinestra lays out through a
// buffer, repaints what it reports, and hands it the mouse and the ticks of
// the two SetTimer timers.
#include <windows.h>

#include <array>

#include "app/ComportamentoFinestra.h"
#include "app/frmPrincipale.h"

namespace noce::win32 {

class FinestraPrincipale {
public:
    // Creates the window, hidden, centred on the screen's work area, with
    // the design's two icons.
    FinestraPrincipale(frmPrincipale& form, ComportamentoFinestra& comportamento);
    FinestraPrincipale(const FinestraPrincipale&) = delete;
    FinestraPrincipale& operator=(const FinestraPrincipale&) = delete;

    HWND Handle() const { return hwnd_; }
    // The outer size of such a window around a client area of that size.
    static SIZE Esterno(int larghezza, int altezza);

    // Shows it, activated, and paints it before returning.
    void Mostra();
    // Brings to the screen what changed: the caption and the damaged places.
    void Ridipingi(const Aggiornamento& a);

    void Avvia(Orologio quale, int millisecondi);
    void Ferma(Orologio quale);

private:
    static LRESULT CALLBACK Procedura(HWND hwnd, UINT messaggio, WPARAM w, LPARAM l);
    LRESULT Messaggio(UINT messaggio, WPARAM w, LPARAM l);
    void Dipingi();
    void MostraCursore(int x, int y);

    frmPrincipale& form_;
    ComportamentoFinestra& comportamento_;
    HWND hwnd_ = nullptr;
    // The paint buffer: a paint is composed here and copied in one go, so
    // nothing half-drawn reaches the screen.
    HDC memoria_ = nullptr;
    std::array<bool, 2> armato_{};
};

// Ends the program at once, as the close box does: no handler runs, no log
// line is written, nothing is cleaned up.
[[noreturn]] void FineImmediata();

}  // namespace noce::win32
