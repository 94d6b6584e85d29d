#pragma once
// A Content-Encoding undone while the body arrives, so that what is saved
// is the file the server holds and not its compressed form.
#include <zlib.h>

#include <functional>
#include <string>

namespace scaricatore {

class Decodifica {
public:
    using Uscita = std::function<void(const char* dati, std::size_t n)>;

    // `codifiche` as the header had it: "", "identity", "gzip", "x-gzip" or
    // "deflate" (with or without the zlib wrapper). Anything else leaves
    // Errore() set: such a body cannot be turned back into the file.
    explicit Decodifica(const std::string& codifiche);
    ~Decodifica();
    Decodifica(const Decodifica&) = delete;
    Decodifica& operator=(const Decodifica&) = delete;

    bool Codificato() const { return tipo_ != Tipo::Nessuna; }
    // Hands the decoded bytes to `uscita`; false (with Errore()) for a
    // damaged stream or bytes after its end.
    bool Aggiungi(const char* dati, std::size_t n, const Uscita& uscita);
    // True when the stream has reached its own end: a body that stops
    // before it is not the whole file, whatever its framing said.
    bool Finito() const { return tipo_ == Tipo::Nessuna || finito_; }
    const std::string& Errore() const { return errore_; }

private:
    enum class Tipo { Nessuna, Gzip, Deflate };
    bool Avvia(int bitFinestra);
    bool Inflate(const char* dati, std::size_t n, const Uscita& uscita);

    Tipo tipo_ = Tipo::Nessuna;
    z_stream z_{};
    bool avviato_ = false, finito_ = false;
    std::string inizio_;  // the first bytes of a deflate body, until its wrapper can be told
    std::string errore_;
};

}  // namespace scaricatore
