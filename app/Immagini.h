#pragma once
// The pictures stored with the window's design, compiled into the program.
#include <cstddef>

namespace noce {

struct Immagine {
    // RGB and RGBA: raw pixels; PNG and JPEG: the file's bytes.
    enum class Formato { RGB, RGBA, PNG, JPEG };
    const char* nome;
    int larghezza;  // pixels
    int altezza;
    Formato formato;
    const unsigned char* dati;  // rows top to bottom for RGB and RGBA; file bytes otherwise
    std::size_t dimensione;
};

namespace immagini {
const Immagine& Icona16();             // the window icon, small
const Immagine& Icona32();             // the window icon, large
const Immagine& Mano();                // the hand pointer of the help link
const Immagine& TastoInstalla();       // PicImmTasto(0)
const Immagine& TastoInstallaAcceso(); // PicImmTasto(1)
const Immagine& TastoEsci();           // PicImmTasto(2)
const Immagine& TastoEsciAcceso();     // PicImmTasto(3)
const Immagine& Striscia();            // picInterno, the marquee strip (JPEG)
}  // namespace immagini

}  // namespace noce
