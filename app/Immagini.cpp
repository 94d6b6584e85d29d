// The pictures of the window's design. The bytes come from app/immagini,
// compiled in at build time; the sizes are those the design asks for.
#include "Immagini.h"

namespace noce::immagini {

namespace dati {
#define NOCE_IMMAGINE(id)                 \
    extern const unsigned char id[];      \
    extern const std::size_t id##_dimensione;
NOCE_IMMAGINE(icona16_png)
NOCE_IMMAGINE(icona32_png)
NOCE_IMMAGINE(mano_png)
NOCE_IMMAGINE(tasto_installa_png)
NOCE_IMMAGINE(tasto_installa_acceso_png)
NOCE_IMMAGINE(tasto_esci_png)
NOCE_IMMAGINE(tasto_esci_acceso_png)
NOCE_IMMAGINE(striscia_jpg)
#undef NOCE_IMMAGINE
}  // namespace dati

namespace {
using F = Immagine::Formato;
}

#define NOCE_DEFINISCI(funzione, id, w, h, formato)                                        \
    const Immagine& funzione() {                                                           \
        static const Immagine i{#id, w, h, formato, dati::id, dati::id##_dimensione};      \
        return i;                                                                          \
    }

NOCE_DEFINISCI(Icona16, icona16_png, 16, 16, F::PNG)
NOCE_DEFINISCI(Icona32, icona32_png, 32, 32, F::PNG)
NOCE_DEFINISCI(Mano, mano_png, 32, 32, F::PNG)
NOCE_DEFINISCI(TastoInstalla, tasto_installa_png, 73, 25, F::PNG)
NOCE_DEFINISCI(TastoInstallaAcceso, tasto_installa_acceso_png, 73, 25, F::PNG)
NOCE_DEFINISCI(TastoEsci, tasto_esci_png, 73, 25, F::PNG)
NOCE_DEFINISCI(TastoEsciAcceso, tasto_esci_acceso_png, 73, 25, F::PNG)
NOCE_DEFINISCI(Striscia, striscia_jpg, 1386, 39, F::JPEG)

#undef NOCE_DEFINISCI

}  // namespace noce::immagini
