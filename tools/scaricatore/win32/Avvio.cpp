// The wide command line, so that a path in any language arrives whole; the
// downloader works in UTF-8 from here on.
#include <string>
#include <vector>

#include "../Principale.h"
#include "platform/win32/Unicode.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> argomenti;
    for (int i = 0; i < argc; ++i) argomenti.push_back(noce::win32::DaLarga(argv[i]));
    std::vector<const char*> puntatori;
    for (const auto& a : argomenti) puntatori.push_back(a.c_str());
    puntatori.push_back(nullptr);
    return scaricatore::Principale(argc, puntatori.data());
}
