// Each kind of control as Windows draws it.
#include "Pittura.h"

#include <uxtheme.h>
#include <vssym32.h>

#include "Caratteri.h"
#include "Decodifica.h"
#include "platform/win32/Unicode.h"

namespace noce::win32 {

namespace {

// The option mark's side, as the system draws it at 96 dots per inch, and
// the space between the mark and its caption.
constexpr int LatoSegno = 13, SpazioSegno = 4;

COLORREF Rgb(Colore c) { return RGB(c.r, c.g, c.b); }

RECT Rect(const Rettangolo& r) { return {r.x, r.y, r.x + r.w, r.y + r.h}; }

void Riempi(HDC dc, const Rettangolo& r, COLORREF colore) {
    const RECT rc = Rect(r);
    SetDCBrushColor(dc, colore);
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

double Larghezza(HDC dc, std::string_view testo) {
    const std::wstring w = Larga(std::string(testo));
    SIZE s{};
    GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &s);
    return s.cx;
}

// Lines from the top of the box, each left-aligned or centred, in the font
// and colour selected.
void Scrivi(HDC dc, const std::vector<std::string>& righe, const Rettangolo& r, Allineamento a) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    int y = r.y;
    for (const std::string& riga : righe) {
        const std::wstring w = Larga(riga);
        SIZE s{};
        GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &s);
        const int x = a == Allineamento::Centro ? r.x + (r.w - s.cx) / 2 : r.x;
        TextOutW(dc, x, y, w.c_str(), static_cast<int>(w.size()));
        y += tm.tmHeight;
    }
}

void ScegliTesto(HDC dc, const Controllo& c) {
    SelectObject(dc, Font(c.Font));
    SetTextColor(dc, c.Enabled ? Rgb(c.ForeColor) : GetSysColor(COLOR_GRAYTEXT));
}

void Etichetta(HDC dc, const Strato& s) {
    const Controllo& c = *s.controllo;
    if (!c.Trasparente) Riempi(dc, s.posto, Rgb(c.BackColor));
    ScegliTesto(dc, c);
    const auto righe = ComportamentoFinestra::Righe(s, [dc](std::string_view t) { return Larghezza(dc, t); });
    Scrivi(dc, righe, s.posto, c.Alignment);
}

void Casella(HDC dc, const Strato& s) {
    const Controllo& c = *s.controllo;
    Riempi(dc, s.posto, Rgb(c.BackColor));
    if (c.BorderStyle == Bordo::Rilievo3D) {
        RECT rc = Rect(s.posto);
        DrawEdge(dc, &rc, EDGE_SUNKEN, BF_RECT);
    }
    // At its natural size from the top-left corner, never stretched.
    if (!c.Picture) return;
    const int salvato = SaveDC(dc);
    IntersectClipRect(dc, s.interno.x, s.interno.y, s.interno.x + s.interno.w, s.interno.y + s.interno.h);
    DisegnaBitmap(dc, Decodifica(*c.Picture), s.interno.x, s.interno.y);
    RestoreDC(dc, salvato);
}

// The round mark: the visual style's when one is active, else the classic
// one the system draws for every program.
void Segno(HDC dc, HWND finestra, RECT r, bool selezionato, bool abilitato) {
    if (HTHEME tema = OpenThemeData(finestra, L"BUTTON")) {
        const int stato = selezionato ? (abilitato ? RBS_CHECKEDNORMAL : RBS_CHECKEDDISABLED)
                                      : (abilitato ? RBS_UNCHECKEDNORMAL : RBS_UNCHECKEDDISABLED);
        DrawThemeBackground(tema, dc, BP_RADIOBUTTON, stato, &r, nullptr);
        CloseThemeData(tema);
        return;
    }
    DrawFrameControl(dc, &r, DFC_BUTTON,
                     DFCS_BUTTONRADIO | (selezionato ? DFCS_CHECKED : 0) | (abilitato ? 0 : DFCS_INACTIVE));
}

void Opzione(HDC dc, HWND finestra, const Strato& s) {
    const Controllo& c = *s.controllo;
    const Rettangolo& r = s.posto;
    Riempi(dc, r, Rgb(c.BackColor));
    const int y = r.y + (r.h - LatoSegno) / 2;
    Segno(dc, finestra, {r.x, y, r.x + LatoSegno, y + LatoSegno}, c.Value, c.Enabled);
    ScegliTesto(dc, c);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const int x = r.x + LatoSegno + SpazioSegno;
    Scrivi(dc, {c.Caption}, {x, r.y + (r.h - tm.tmHeight) / 2, r.w - (x - r.x), tm.tmHeight}, Allineamento::Sinistra);
}

void Elenco(HDC dc, const Strato& s) {
    const Controllo& c = *s.controllo;
    Riempi(dc, s.posto, GetSysColor(COLOR_WINDOW));
    RECT rc = Rect(s.posto);
    DrawEdge(dc, &rc, EDGE_SUNKEN, BF_RECT);
    ScegliTesto(dc, c);
    Scrivi(dc, c.Elementi, {s.posto.x + 3, s.posto.y + 2, s.posto.w - 6, s.posto.h - 4}, Allineamento::Sinistra);
}

void DisegnaStrato(HDC dc, HWND finestra, const Strato& s) {
    const Controllo& c = *s.controllo;
    switch (c.Tipo) {
    case TipoControllo::Etichetta: Etichetta(dc, s); break;
    case TipoControllo::CasellaImmagine: Casella(dc, s); break;
    case TipoControllo::Immagine:
        if (c.Picture) DisegnaBitmap(dc, Decodifica(*c.Picture), s.posto.x, s.posto.y);
        break;
    case TipoControllo::Opzione: Opzione(dc, finestra, s); break;
    case TipoControllo::Elenco:
    case TipoControllo::ElencoFile: Elenco(dc, s); break;
    }
}

}  // namespace

void Dipingi(HDC dc, HWND finestra, const frmPrincipale& form, const ComportamentoFinestra& comportamento,
             const RECT& zona) {
    const RECT area = Rect(comportamento.Area());
    RECT sfondo{};
    if (!IntersectRect(&sfondo, &area, &zona)) return;
    Riempi(dc, {sfondo.left, sfondo.top, sfondo.right - sfondo.left, sfondo.bottom - sfondo.top}, Rgb(form.BackColor));
    SetBkMode(dc, TRANSPARENT);
    for (const Strato& s : comportamento.Strati()) {
        const RECT visibile = Rect(s.visibile);
        RECT qui{};
        if (!IntersectRect(&qui, &visibile, &sfondo)) continue;
        const int salvato = SaveDC(dc);
        IntersectClipRect(dc, qui.left, qui.top, qui.right, qui.bottom);
        DisegnaStrato(dc, finestra, s);
        RestoreDC(dc, salvato);
    }
}

}  // namespace noce::win32
