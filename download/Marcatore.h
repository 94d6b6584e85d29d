#pragma once
// The status marker the downloader leaves in the installer folder: its
// first field, read as a delimited text field, and the number it starts
// with.
#include <optional>
#include <string>

namespace noce {

// The first field of a delimited text: up to the first comma or line end,
// surrounding blanks removed, or the text between a pair of double quotes.
// Nothing when the text holds no field yet.
std::optional<std::string> PrimoCampo(const std::string& testo);

// The number a text starts with, as the runtime's Val reads it: blanks are
// passed over wherever they are, then a sign, digits, a decimal point and
// an exponent; 0 when there is no leading number.
double Val(const std::string& testo);

// The status in the marker at `percorso`: nothing while the fetch is still
// running as far as the marker can tell (no marker, a marker that cannot
// be opened yet or holds no field yet).
std::optional<double> StatoMarcatore(const std::string& percorso);

}  // namespace noce
