// GDI fonts for the design's fonts, one for each distinct look.
#include "Caratteri.h"

#include <cmath>
#include <map>
#include <tuple>

#include "platform/win32/Unicode.h"

namespace noce::win32 {

namespace {

bool Serifato(const std::string& nome) {
    // Only Times New Roman among the design's fonts has serifs.
    return nome.find("Times") != std::string::npos;
}

}  // namespace

HFONT Font(const Carattere& c) {
    static std::map<std::tuple<std::string, double, bool, bool>, HFONT> fatti;
    HFONT& f = fatti[{c.Name, c.Size, c.Bold, c.Underline}];
    if (f) return f;
    LOGFONTW lf{};
    // Negative: the height of the characters themselves, not of the cell.
    lf.lfHeight = -static_cast<LONG>(std::lround(c.Size * 96.0 / 72.0));
    lf.lfWeight = c.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = c.Underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = static_cast<BYTE>(VARIABLE_PITCH | (Serifato(c.Name) ? FF_ROMAN : FF_SWISS));
    const std::wstring nome = Larga(c.Name);
    nome.copy(lf.lfFaceName, LF_FACESIZE - 1);
    f = CreateFontIndirectW(&lf);
    // Without that font the system's own still shows the text.
    if (!f) f = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return f;
}

}  // namespace noce::win32
