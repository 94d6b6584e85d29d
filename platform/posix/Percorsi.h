#pragma once
// Windows paths on a Linux host.
//
// Drive c: is the host folder NOCE_DRIVE_C (default
// $XDG_DATA_HOME/noce/drive_c); every other host path is seen on drive z:,
// with z:\ standing for /. Each component of a path is matched without
// regard to letter case; a component that does not exist yet keeps the
// spelling it was given. Both "\" and "/" separate components, "." and ".."
// are folded as Windows folds them, and a path without a drive is taken on
// the drive of the current folder.
#include <string>

namespace noce::posix {

// The host folder of drive c:, laid out as a Windows machine on first use.
std::string CartellaDriveC();
// The host folder of drive c: without laying it out.
std::string CartellaDriveCGrezza();

// The host path a Windows path names.
std::string PercorsoHost(const std::string& percorsoWindows);
// The Windows path of a host path: c:\... inside drive c:, z:\... elsewhere.
// The drive letter is upper case, as Windows reports it ("C:\Setup").
std::string PercorsoWindows(const std::string& percorsoHost);

// The folder of the running executable, as a host path.
std::string CartellaEseguibile();

// Letter case folding used for matching names: ASCII and the Latin-1
// letters of Windows-1252 (so "Già" and "GIÀ" match).
std::string MinuscoloNome(const std::string& nomeUtf8);

}  // namespace noce::posix
