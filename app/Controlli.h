#pragma once
// The controls of the window as plain data: what the handlers change and
// what the view draws. Positions and sizes are in twips.
#include <cstdint>
#include <string>
#include <vector>

#include "Immagini.h"

namespace noce {

// 15 twips make one pixel at 96 dots per inch.
inline constexpr int TwipsPerPixel = 15;

struct Colore {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Colore&) const = default;
};
inline constexpr Colore Navy{0, 0, 128};
inline constexpr Colore Bianco{255, 255, 255};
inline constexpr Colore Nero{0, 0, 0};
inline constexpr Colore SfondoFinestra{233, 240, 233};
// The system's colours for window background and window text.
inline constexpr Colore ColoreSistemaFinestra{255, 255, 255};
inline constexpr Colore ColoreSistemaTesto{0, 0, 0};

struct Carattere {
    std::string Name;  // the face the design names ("MS Sans Serif")
    double Size = 8.25;  // points
    bool Bold = false;
    bool Underline = false;
    bool operator==(const Carattere&) const = default;
};

enum class TipoControllo { Etichetta, CasellaImmagine, Immagine, Opzione, Elenco, ElencoFile };
enum class Allineamento { Sinistra, Centro };
enum class Bordo { Nessuno, Piatto, Rilievo3D };
enum class Puntatore { Predefinito, Personalizzato };

struct Controllo {
    std::string Name;
    int Index = -1;  // -1 outside a control array
    TipoControllo Tipo = TipoControllo::Etichetta;
    Controllo* Container = nullptr;  // nullptr: the window's client area
    double Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;
    bool Enabled = true;
    std::string Caption;
    Carattere Font;
    Colore ForeColor = ColoreSistemaTesto;
    Colore BackColor = ColoreSistemaFinestra;
    bool Trasparente = false;  // BackStyle transparent
    Allineamento Alignment = Allineamento::Sinistra;
    Bordo BorderStyle = Bordo::Nessuno;
    const Immagine* Picture = nullptr;
    bool Value = false;  // option buttons: selected
    Puntatore MousePointer = Puntatore::Predefinito;
    const Immagine* MouseIcon = nullptr;

    // List boxes (List1, List2) and the file list box (File1).
    std::vector<std::string> Elementi;
    std::string Path;
    void AddItem(const std::string& s) { Elementi.push_back(s); }
    void Clear() { Elementi.clear(); }
    int ListCount() const { return static_cast<int>(Elementi.size()); }
    const std::string& List(int i) const { return Elementi.at(static_cast<std::size_t>(i)); }
};

struct Timer {
    std::string Name;
    bool Enabled = false;
    int Interval = 0;  // milliseconds
};

}  // namespace noce
