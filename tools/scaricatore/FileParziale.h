#pragma once
// The file being fetched, kept under a hidden temporary name beside its
// target and renamed over the target only once it is complete, so that the
// target never exists half-written.
#include <cstdint>
#include <string>

namespace scaricatore {

class FileParziale {
public:
    // Creates the temporary file, never through a link; throws
    // std::system_error when the target's folder does not exist or cannot
    // be written.
    explicit FileParziale(std::string destinazioneHost);
    // Removes the temporary file unless it was delivered.
    ~FileParziale();
    FileParziale(const FileParziale&) = delete;
    FileParziale& operator=(const FileParziale&) = delete;

    const std::string& Temporaneo() const { return temporaneo_; }
    std::uint64_t Dimensione() const { return dimensione_; }

    // Throws std::system_error (disk full, I/O error).
    void Scrivi(const char* dati, std::size_t n);
    // Back to an empty file: the server is sending the whole file again.
    void Svuota();
    // Flushes to disk and renames over the target; throws on failure.
    void Consegna();

private:
    std::string destinazione_, temporaneo_;
    // The open file: a descriptor on Linux, a HANDLE on Windows; -1 (which
    // is also INVALID_HANDLE_VALUE) when closed.
    std::intptr_t maniglia_ = -1;
    std::uint64_t dimensione_ = 0;
    std::uint64_t avviato_ = 0;  // bytes already handed to the disk for writing
    bool consegnato_ = false;
};

}  // namespace scaricatore
