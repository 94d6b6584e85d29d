#pragma once
// The status marker "scaricoincorso.max" in the downloader's own folder:
// "0" (optionally ",percent") while the fetch runs, "1" when the file is
// stored, "2" when the fetch has failed. The installer polls it, so it is
// always replaced whole: written beside, then renamed over the old one.
#include <string>

namespace scaricatore {

class Marcatore {
public:
    explicit Marcatore(std::string percorsoHost);

    const std::string& Percorso() const { return percorso_; }

    // Each returns false when the marker could not be replaced.
    bool InCorso();
    bool Avanzamento(int percentuale);
    bool Riuscito();
    bool Fallito();

private:
    bool Scrivi(const std::string& testo);
    std::string percorso_, temporaneo_;
};

// Writes `n` bytes to `temporaneo` and renames it to `finale`, with
// async-signal-safe calls only, so that a signal handler may use it too.
bool SostituisciFile(const char* temporaneo, const char* finale, const char* testo, unsigned long n);

}  // namespace scaricatore
