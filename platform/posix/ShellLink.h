#pragma once
// fCreateShellLink on Linux writes the link's bytes itself, in the
// Microsoft binary format.
#include <string>

#include "../ShellLink.h"

namespace noce {

// The bytes of such a shortcut, for whoever needs them without a file.
std::string ByteShellLink(const std::string& destinazione, const std::string& argomenti);

}  // namespace noce
