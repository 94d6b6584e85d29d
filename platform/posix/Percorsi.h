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

#include "../Minuscolo.h"
#include "../PercorsiHost.h"

namespace noce::posix {

// The host folder of drive c:, laid out as a Windows machine on first use.
std::string CartellaDriveC();
// The host folder of drive c: without laying it out.
std::string CartellaDriveCGrezza();

// PercorsoHost, PercorsoWindows and CartellaEseguibile, as the rest of
// this layer has always called them.
using sistema::CartellaEseguibile;
using sistema::PercorsoHost;
using sistema::PercorsoWindows;

}  // namespace noce::posix
