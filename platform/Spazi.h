#pragma once
// Blanks around a field, as the header lines, the marker and the command
// lines the installer reads put them: spaces and tabs only.
#include <string>

namespace noce {

// The text without its leading and trailing spaces and tabs.
std::string SenzaSpazi(const std::string& testo);

}  // namespace noce
