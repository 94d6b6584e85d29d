#pragma once
// Where the downloader's files are on this platform. The installer names
// them as Windows paths; on Linux they lie on the emulated drive.
#include <string>

namespace scaricatore {

// A file of this program's folder (the marker, the log), matched without
// regard to case as the installer names it.
std::string FileAccanto(const std::string& nome);
// The platform's path for a Windows path from the command line.
std::string PercorsoLocale(const std::string& percorsoWindows);

}  // namespace scaricatore
