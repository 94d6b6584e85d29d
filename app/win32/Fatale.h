#pragma once
// What the view cannot do without: when the system refuses it (a window,
// a timer, a message box, a picture), the program says what failed and
// stops, rather than go on with a window that cannot work.
#include <string>

namespace noce::win32 {

// Shows `testo` on standard error and in a box of its own, then ends the
// program with status 1.
[[noreturn]] void Fatale(const std::string& testo);

// The same for a Windows call that failed, with the error it left.
[[noreturn]] void FataleWin(const char* chiamata);

}  // namespace noce::win32
