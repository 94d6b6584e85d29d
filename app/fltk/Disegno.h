#pragma once
// What the view needs to turn the window's data into pixels: twips to
// pixels, the faces that stand in for the design's fonts, the decoded
// pictures, and text laid out the way a Windows label lays it out.
#include <functional>
#include <string>
#include <vector>

#include <FL/Enumerations.H>

#include "app/Controlli.h"

class Fl_RGB_Image;

namespace noce::fltk {

// Twips to pixels at 96 dots per inch.
int Pixel(double twips);

Fl_Color ColoreFl(noce::Colore c);

// Selects the face standing in for a design font (MS Sans Serif and Arial:
// Liberation Sans; Times New Roman: Liberation Serif), its size in pixels
// from points at 96 dots per inch.
void ScegliCarattere(const Carattere& c);

// The decoded picture, kept for the program's life. A picture that cannot
// be decoded is a broken build: the program says which and stops.
Fl_RGB_Image& Decodifica(const Immagine& immagine);

// Splits a caption into the lines a label shows in a box of the given
// width: CR LF (or a lone LF) breaks a line, words wrap at the width, a word
// wider than the box stays whole. Uses the current font.
std::vector<std::string> RigheTesto(const std::string& testo, int larghezza);

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
