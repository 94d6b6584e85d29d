#pragma once
// Windows-1252 on disk, UTF-8 inside the program.
#include <string>

namespace noce {

// Every byte has a character; the five bytes Windows-1252 leaves undefined
// map to the C1 control of the same value, as Windows' own tables do.
std::string Cp1252AUtf8(const std::string& byte);
// Characters without a Windows-1252 byte become "?", as the ANSI
// conversion of Windows does; malformed UTF-8 bytes likewise.
std::string Utf8ACp1252(const std::string& testo);

}  // namespace noce
