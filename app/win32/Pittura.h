#pragma once
// Paints frmPrincipale with GDI: the window's background, then every layer
// ComportamentoFinestra lays out, back to front, each cut to what of it
// can be seen.
#include <windows.h>

#include "app/ComportamentoFinestra.h"
#include "app/frmPrincipale.h"

namespace noce::win32 {

// Paints what lies in `zona` (client pixels) into `dc`; `finestra` gives
// the theme the option marks are drawn with.
void Dipingi(HDC dc, HWND finestra, const frmPrincipale& form, const ComportamentoFinestra& comportamento,
             const RECT& zona);

}  // namespace noce::win32
