#pragma once
// Letter case folding for names, the way Windows matches file, key and
// host names.
#include <string>

namespace noce {

// ASCII and the Latin-1 letters of Windows-1252, in UTF-8 (so "Già" and
// "GIÀ" match); every other byte is kept.
std::string MinuscoloNome(const std::string& nomeUtf8);

}  // namespace noce
