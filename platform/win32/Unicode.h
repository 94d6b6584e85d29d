#pragma once
// Strings at the Win32 boundary: UTF-8 inside the program, UTF-16 for the
// wide entry points, the ANSI code page for the few "A" ones the installer
// names (CreateProcessA, SHGetPathFromIDListA, GetVersionExA).
#include <string>

namespace noce::win32 {

// Malformed UTF-8 becomes U+FFFD, as MultiByteToWideChar does it.
std::wstring Larga(const std::string& utf8);
// Unpaired surrogates become U+FFFD.
std::string DaLarga(const std::wstring& larga);
// Characters the ANSI code page lacks become "?".
std::string InAnsi(const std::string& utf8);
std::string DaAnsi(const std::string& ansi);

}  // namespace noce::win32
