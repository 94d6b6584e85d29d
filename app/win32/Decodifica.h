#pragma once
// The design's pictures, decoded by the system's own codecs (WIC) into
// bitmaps that GDI draws.
#include <windows.h>

#include "app/Immagini.h"

namespace noce::win32 {

// A 32-bit top-down DIB section, alpha premultiplied.
struct Bitmap {
    HBITMAP handle = nullptr;
    int larghezza = 0, altezza = 0;
    const unsigned char* pixel = nullptr;  // B, G, R, A, rows top to bottom
    bool opaca = true;                     // no pixel lets the background through
};

// Decoded once and kept for the program's life. A picture that cannot be
// decoded is a broken build: the program says which and stops.
const Bitmap& Decodifica(const Immagine& immagine);

// Draws the picture at its natural size with its transparency.
void DisegnaBitmap(HDC dc, const Bitmap& bitmap, int x, int y);

// An icon made from the picture, its transparency for the mask; kept for
// the program's life.
HICON IconaDa(const Immagine& immagine);

}  // namespace noce::win32
