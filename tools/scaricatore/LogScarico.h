#pragma once
// "LogScarico.txt" in the downloader's folder: one line per event, with
// date and time, appended and closed at once so that nothing is lost when
// the process is ended. The installer never reads it; people do.
#include <string>

namespace scaricatore {

class LogScarico {
public:
    explicit LogScarico(std::string percorsoHost) : percorso_(std::move(percorsoHost)) {}
    // A log that cannot be written must not stop the fetch: failures are
    // ignored.
    void Scrivi(const std::string& testo) const;

private:
    std::string percorso_;
};

}  // namespace scaricatore
