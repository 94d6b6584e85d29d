#pragma once
#include <cstdint>
#include <string>

namespace noce {

// Writes DirFiles\InstallFont.bat, which copies the font into the system
// fonts folder and registers it, and starts it without waiting.
// `cartellaOrigine` receives a trailing "\" when it lacks one.
void InstallaFont(std::string& cartellaOrigine, std::string& nomeFont);

// Waits until the last batch started by InstallaFont has ended: the
// clean-up must not delete the font before the batch has copied it. A
// batch stuck (a REG ADD that cannot get the registry) is given up after
// AttesaMassimaFontMs with a line in the log, and the clean-up goes on.
inline std::uint32_t AttesaMassimaFontMs = 60000;
void AttendiFineInstallaFont();

}  // namespace noce
