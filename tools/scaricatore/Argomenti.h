#pragma once
// The downloader's command line: "-download/NAME -LOCALPATH".
#include <optional>
#include <string>

namespace scaricatore {

struct Richiesta {
    std::string remoto;  // the path on the server, without the leading "/"
    std::string locale;  // the Windows path to store the file under
};

// The local path arrives unquoted, so a path with blanks has been split
// into several arguments by the C runtime: they are joined back with one
// blank each (runs of blanks cannot be told apart any more). Empty with a
// message in `errore` when the line is not usable.
std::optional<Richiesta> LeggiArgomenti(int argc, const char* const* argv, std::string& errore);

// The URL of a remote path on the download server, with the bytes that
// cannot stand in a URL path percent-encoded.
std::string UrlDi(const std::string& remoto);

}  // namespace scaricatore
