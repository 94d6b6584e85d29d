#pragma once
// What the view needs to turn the window's data into pixels: the faces
// that stand in for the design's fonts, the decoded pictures, lines of text.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <FL/Enumerations.H>

#include "app/Controlli.h"

class Fl_RGB_Image;

namespace noce::fltk {

Fl_Color ColoreFl(noce::Colore c);

// Selects the face standing in for a design font (MS Sans Serif and Arial:
// Liberation Sans; Times New Roman: Liberation Serif), its size in pixels
// from points at 96 dots per inch.
void ScegliCarattere(const Carattere& c);

// The decoded picture, kept for the program's life. A picture that cannot
// be decoded is a broken build: the program says which and stops.
Fl_RGB_Image& Decodifica(const Immagine& immagine);

// The width of a run of text in the current font: the measure the word
// wrap of app/Testo.h asks for.
double LarghezzaFl(std::string_view testo);

// Draws lines of text from the top of the box, each left-aligned or
// centred, underlined when asked. Uses the current font and colour.
void DisegnaRighe(const std::vector<std::string>& righe, int x, int y, int w, Allineamento a, bool sottolineato);

// Paints a smooth disc into `rgba` (lato × lato pixels, 4 bytes each): every
// pixel is sampled 4 × 4 times, samples farther than `raggio` from the centre
// are transparent, and `colore` gives the colour of each sample from its
// position (px, py from the top-left corner) and its distance d from the
// centre. The alpha is the share of samples inside the disc.
void DipingiDisco(unsigned char* rgba, int lato, double raggio,
                  const std::function<Colore(double px, double py, double d)>& colore);

}  // namespace noce::fltk
