#pragma once
// The downloader's whole run, from a command line in UTF-8; each platform's
// entry point hands its arguments over.
namespace scaricatore {

int Principale(int argc, const char* const* argv);

}  // namespace scaricatore
