// The Windows view: window, timers, message boxes, pending events, the end.
#include "VistaWin32.h"

#include "Fatale.h"
#include "FinestraPrincipale.h"
#include "app/ComportamentoFinestra.h"
#include "app/frmPrincipale.h"
#include "platform/win32/Unicode.h"

#include <objbase.h>

namespace noce {

namespace {

UINT Stile(Pulsanti pulsanti, Icona icona) {
    UINT s = (pulsanti == Pulsanti::SiNo ? MB_YESNO : MB_OK) | MB_DEFBUTTON1;
    switch (icona) {
    case Icona::Nessuna: break;
    case Icona::Stop: s |= MB_ICONSTOP; break;
    case Icona::Domanda: s |= MB_ICONQUESTION; break;
    case Icona::Informazione: s |= MB_ICONINFORMATION; break;
    }
    return s;
}

}  // namespace

VistaWin32::VistaWin32() {
    // The picture codecs are COM objects, and this thread is the window's.
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(hr) && hr != RPC_E_CHANGED_MODE) win32::Fatale("COM could not be initialised on the window's thread.");
}

VistaWin32::~VistaWin32() = default;

void VistaWin32::Collega(frmPrincipale& form) {
    comportamento_ = std::make_unique<ComportamentoFinestra>(form, static_cast<TimerPeriodici&>(*this));
    finestra_ = std::make_unique<win32::FinestraPrincipale>(form, *comportamento_);
    // The window's outer size is the system's, frame and title bar included.
    const Rettangolo area = comportamento_->Area();
    const SIZE esterno = win32::FinestraPrincipale::Esterno(area.w, area.h);
    form.Width = esterno.cx * TwipsPerPixel;
    form.Height = esterno.cy * TwipsPerPixel;
}

void VistaWin32::Avvia(Orologio quale, int millisecondi) { finestra_->Avvia(quale, millisecondi); }

void VistaWin32::Ferma(Orologio quale) { finestra_->Ferma(quale); }

void VistaWin32::Aggiorna() {
    if (comportamento_ && finestra_) finestra_->Ridipingi(comportamento_->Aggiorna());
}

void VistaWin32::Mostra() {
    Aggiorna();
    finestra_->Mostra();
}

int VistaWin32::Esegui() {
    Aggiorna();
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}

int VistaWin32::MsgBox(const std::string& testo, Pulsanti pulsanti, Icona icona, const std::string& titolo) {
    // What the handler changed before asking shows behind the box.
    Aggiorna();
    // MessageBoxW runs its own loop: the timers go on ticking under the
    // box, and a handler run from there may open another over it.
    const int r = MessageBoxW(finestra_ ? finestra_->Handle() : nullptr, win32::Larga(testo).c_str(),
                              win32::Larga(titolo).c_str(), Stile(pulsanti, icona));
    if (r == 0) win32::FataleWin("MessageBoxW");
    Aggiorna();
    if (pulsanti == Pulsanti::OK) return vbOK;
    return r == IDYES ? vbYes : vbNo;
}

void VistaWin32::DoEvents() {
    Aggiorna();
    // What is pending now, not what comes while it runs: a message stamped
    // after the call is the last one taken, so a tick slower than its own
    // interval cannot keep the loop going.
    const DWORD inizio = GetTickCount();
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            break;
        }
        // A box's keys (Return, the arrows, Tab) go through its dialog
        // manager, as they do in the box's own loop: Return presses the
        // default button whichever loop takes it.
        HWND radice = m.hwnd ? GetAncestor(m.hwnd, GA_ROOT) : nullptr;
        if (!radice || (finestra_ && radice == finestra_->Handle()) || !IsDialogMessageW(radice, &m)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        if (static_cast<LONG>(m.time - inizio) > 0) break;
    }
}

void VistaWin32::End() { win32::FineImmediata(); }

}  // namespace noce
