// The registry's file: read whole, changed only under an exclusive lock,
// and replaced atomically.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "FileHost.h"
#include "Macchina.h"
#include "Percorsi.h"
#include "RegistroInterno.h"

namespace noce::posix::registro {

std::string File() { return FileRegistro(CartellaDriveC()); }

namespace {

std::string LeggiFile(const std::string& host) {
    struct stat st;
    if (::stat(host.c_str(), &st) != 0 && errno == ENOENT) return {};
    return LeggiFileHost(host);
}

}  // namespace

Registro Carica(const std::string& host) {
    std::string testo = LeggiFile(host);
    // A file that was never written holds nothing to keep.
    if (testo.find_first_not_of(" \t\r\n") == std::string::npos) return Registro{};
    return Registro::DaTesto(testo);
}

namespace {

// Temporary file, fsync, rename: a reader sees the old registry or the new
// one, never a part of either, also after a crash.
void Salva(const std::string& host, const Registro& r) { SostituisciFileHost(host, TestoRegistro(r.Ordinate()), 0644); }

// Holds the exclusive lock on the lock file beside the registry. flock
// belongs to the open file, so threads of one process exclude each other
// as processes do.
class Blocco {
public:
    explicit Blocco(const std::string& host) {
        fd_ = ::open((host + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) throw ErroreDaErrno(errno);
        const auto attesa = AttesaMassima();
        const auto scadenza = std::chrono::steady_clock::now() + attesa;
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            int e = errno;
            if (e == EINTR) continue;
            if (e != EWOULDBLOCK || std::chrono::steady_clock::now() >= scadenza) {
                ::close(fd_);
                if (e != EWOULDBLOCK) throw ErroreDaErrno(e);
                // A holder that never lets go (a process stopped in the
                // middle of a change) must not stop every later change.
                throw ErroreRuntime(err::ErroreAccesso,
                                    "Registro occupato da un altro processo: attesa scaduta dopo " +
                                        std::to_string(attesa.count()) + " ms");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~Blocco() { ::close(fd_); }
    Blocco(const Blocco&) = delete;
    Blocco& operator=(const Blocco&) = delete;

private:
    // A change holds the lock for milliseconds; NOCE_ATTESA_REGISTRO_MS
    // gives another bound.
    static std::chrono::milliseconds AttesaMassima() {
        const char* v = std::getenv("NOCE_ATTESA_REGISTRO_MS");
        long ms = v && *v ? std::atol(v) : 0;
        return std::chrono::milliseconds(ms > 0 ? ms : 30000);
    }

    int fd_;
};

}  // namespace

bool Modifica(const std::string& chiave, const std::function<bool(Registro&)>& cambia) {
    if (Minuscolo(chiave).starts_with("hkey_local_machine") && !LeggiImpostazioni(CartellaDriveC()).amministratore)
        throw ErroreDi(err::AutorizzazioneNegata);
    std::string host = File();
    Blocco blocco(host);
    Registro r = Carica(host);
    if (!cambia(r)) return false;
    Salva(host, r);
    return true;
}

}  // namespace noce::posix::registro
