#pragma once
// unzip.exe [-o|-n] [-q] ARCHIVE [NAME...] [-d FOLDER]
#include <optional>
#include <string>
#include <vector>

namespace estrattore {

struct Opzioni {
    enum class Sostituzione { Mai, Sempre } sostituzione = Sostituzione::Mai;
    int silenzio = 0;           // -q once or twice
    std::string archivio;       // Windows path
    std::string cartella = "."; // Windows path
    std::vector<std::string> nomi;  // only entries matching one of these (wildcards * ? [..])
};

// Empty, with the reason in `errore`, for a line that cannot be used.
std::optional<Opzioni> LeggiOpzioni(int argc, const char* const* argv, std::string& errore);

}  // namespace estrattore
