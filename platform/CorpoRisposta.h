#pragma once
// A response body kept in an anonymous temporary file of the system's, so
// that its size costs disk, never memory. The file goes with the object.
#include <cstddef>
#include <string>

namespace noce {

class CorpoRisposta {
public:
    // Throws the runtime's error when no temporary file can be made.
    CorpoRisposta();
    ~CorpoRisposta();
    CorpoRisposta(const CorpoRisposta&) = delete;
    CorpoRisposta& operator=(const CorpoRisposta&) = delete;

    void Scrivi(const char* dati, std::size_t n);
    // The whole body, for a caller that wants it as bytes.
    std::string Leggi() const;
    // Saves the body under a Windows path, as SalvaBytes does.
    void Salva(const std::string& percorso) const;

private:
    // At most n bytes from `posizione` on; 0 at the end.
    std::size_t Leggi(char* buf, std::size_t n, unsigned long long posizione) const;

#ifdef _WIN32
    void* maniglia_;
#else
    int fd_;
#endif
};

}  // namespace noce
