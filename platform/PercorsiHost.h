#pragma once
// The names the host's own file calls take, for the programs that make
// those calls themselves (the downloader, the extractor). On Windows a
// Windows path is one already; on Linux posix/ maps the drives onto host
// folders.
#include <string>

namespace noce::sistema {

// The host path a Windows path names.
std::string PercorsoHost(const std::string& percorsoWindows);
// The Windows path of a host path; on Linux c:\... inside drive c: and
// z:\... elsewhere, the drive letter in upper case ("C:\Setup").
std::string PercorsoWindows(const std::string& percorsoHost);
// The folder of the running executable, as a host path.
std::string CartellaEseguibile();

}  // namespace noce::sistema
