// The window class, the window and its messages.
#include "FinestraPrincipale.h"

#include <windowsx.h>

#include <cstdio>
#include <cstdlib>

#include "Decodifica.h"
#include "Fatale.h"
#include "platform/win32/Unicode.h"
#include "Pittura.h"

namespace noce::win32 {

namespace {

constexpr wchar_t NomeClasse[] = L"NoceInstallazione";
// A fixed single border with a title bar and the window menu: no sizing
// frame, no minimize or maximize box.
constexpr DWORD Stile = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD StileEsteso = 0;

UINT_PTR IdTimer(Orologio quale) { return static_cast<UINT_PTR>(quale) + 1; }

void RegistraClasse(WNDPROC procedura) {
    static const bool fatto = [procedura] {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = procedura;
        c.hInstance = GetModuleHandleW(nullptr);
        c.hIcon = IconaDa(immagini::Icona32());
        c.hIconSm = IconaDa(immagini::Icona16());
        c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        c.lpszClassName = NomeClasse;
        if (!RegisterClassExW(&c)) FataleWin("RegisterClassExW");
        return true;
    }();
    (void)fatto;
}

}  // namespace

void FineImmediata() {
    std::fflush(nullptr);
    std::_Exit(0);
}

SIZE FinestraPrincipale::Esterno(int larghezza, int altezza) {
    RECT r{0, 0, larghezza, altezza};
    AdjustWindowRectEx(&r, Stile, FALSE, StileEsteso);
    return {r.right - r.left, r.bottom - r.top};
}

FinestraPrincipale::FinestraPrincipale(frmPrincipale& form, ComportamentoFinestra& comportamento)
    : form_(form), comportamento_(comportamento) {
    RegistraClasse(&Procedura);
    const Rettangolo area = comportamento_.Area();
    const SIZE esterno = Esterno(area.w, area.h);
    RECT lavoro{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &lavoro, 0);
    const int x = lavoro.left + (lavoro.right - lavoro.left - esterno.cx) / 2;
    const int y = lavoro.top + (lavoro.bottom - lavoro.top - esterno.cy) / 2;
    hwnd_ = CreateWindowExW(StileEsteso, NomeClasse, Larga(form_.Caption).c_str(), Stile, x, y, esterno.cx,
                            esterno.cy, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) FataleWin("CreateWindowExW");

    HDC schermo = GetDC(hwnd_);
    memoria_ = CreateCompatibleDC(schermo);
    HBITMAP tela = CreateCompatibleBitmap(schermo, area.w, area.h);
    ReleaseDC(hwnd_, schermo);
    if (!memoria_ || !tela) FataleWin("creating the paint buffer");
    SelectObject(memoria_, tela);
}

void FinestraPrincipale::Mostra() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
    UpdateWindow(hwnd_);
}

void FinestraPrincipale::Ridipingi(const Aggiornamento& a) {
    if (a.titolo) SetWindowTextW(hwnd_, Larga(*a.titolo).c_str());
    if (a.tutto) InvalidateRect(hwnd_, nullptr, FALSE);
    for (const Rettangolo& r : a.danni) {
        const RECT rc{r.x, r.y, r.x + r.w, r.y + r.h};
        InvalidateRect(hwnd_, &rc, FALSE);
    }
}

void FinestraPrincipale::Avvia(Orologio quale, int millisecondi) {
    // Setting a timer that runs starts it afresh with the new interval.
    if (!SetTimer(hwnd_, IdTimer(quale), static_cast<UINT>(millisecondi), nullptr)) FataleWin("SetTimer");
    armato_[static_cast<std::size_t>(quale)] = true;
}

void FinestraPrincipale::Ferma(Orologio quale) {
    KillTimer(hwnd_, IdTimer(quale));
    armato_[static_cast<std::size_t>(quale)] = false;
}

void FinestraPrincipale::Dipingi() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    const RECT& z = ps.rcPaint;
    win32::Dipingi(memoria_, hwnd_, form_, comportamento_, z);
    BitBlt(dc, z.left, z.top, z.right - z.left, z.bottom - z.top, memoria_, z.left, z.top, SRCCOPY);
    EndPaint(hwnd_, &ps);
}

void FinestraPrincipale::MostraCursore(int x, int y) {
    // The design's hand stands for the system's own hand pointer.
    const bool mano = comportamento_.CursoreIn(x, y).immagine != nullptr;
    SetCursor(LoadCursorA(nullptr, mano ? IDC_HAND : IDC_ARROW));
}

LRESULT CALLBACK FinestraPrincipale::Procedura(HWND hwnd, UINT messaggio, WPARAM w, LPARAM l) {
    if (messaggio == WM_NCCREATE) {
        auto* nuova = static_cast<FinestraPrincipale*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        nuova->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(nuova));
    }
    auto* f = reinterpret_cast<FinestraPrincipale*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return f ? f->Messaggio(messaggio, w, l) : DefWindowProcW(hwnd, messaggio, w, l);
}

LRESULT FinestraPrincipale::Messaggio(UINT messaggio, WPARAM w, LPARAM l) {
    const int x = GET_X_LPARAM(l), y = GET_Y_LPARAM(l);
    switch (messaggio) {
    case WM_PAINT: Dipingi(); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers every pixel
    case WM_MOUSEMOVE:
        Ridipingi(comportamento_.Movimento(x, y));
        // After the handler: the help label's pointer is set by its own
        // mouse-move handler.
        if (comportamento_.Area().Contiene(x, y)) MostraCursore(x, y);
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(l) != HTCLIENT) break;
        {
            POINT p{};
            GetCursorPos(&p);
            ScreenToClient(hwnd_, &p);
            MostraCursore(p.x, p.y);
        }
        return TRUE;
    case WM_LBUTTONDOWN:
        // The control pressed on keeps the mouse until the release.
        SetCapture(hwnd_);
        comportamento_.Pressione(x, y);
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd_) ReleaseCapture();
        Ridipingi(comportamento_.Rilascio(x, y));
        return 0;
    case WM_TIMER: {
        const std::size_t i = w - 1;
        // A tick already queued when its timer was stopped.
        if (i >= armato_.size() || !armato_[i]) return 0;
        Ridipingi(comportamento_.Scatto(static_cast<Orologio>(i)));
        return 0;
    }
    case WM_CLOSE: FineImmediata();
    default: break;
    }
    return DefWindowProcW(hwnd_, messaggio, w, l);
}

}  // namespace noce::win32
