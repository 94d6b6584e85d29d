#pragma once
// The design's fonts as GDI fonts.
#include <windows.h>

#include "app/Controlli.h"

namespace noce::win32 {

// The font of that face, size, weight and underline, by name: where the
// machine lacks the face, GDI's font mapper picks the closest one of the
// same family (serif for Times New Roman, sans serif for the others). The
// size in points becomes pixels at 96 dots per inch, as the whole layout
// is. Made once and kept for the program's life.
HFONT Font(const Carattere& carattere);

}  // namespace noce::win32
