#include "../FileParziale.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace scaricatore {

namespace {

[[noreturn]] void Errore(const std::string& cosa) {
    throw std::system_error(errno, std::generic_category(), cosa);
}

}  // namespace

FileParziale::FileParziale(std::string destinazioneHost) : destinazione_(std::move(destinazioneHost)) {
    auto barra = destinazione_.rfind('/');
    std::string cartella = barra == std::string::npos ? "." : destinazione_.substr(0, barra);
    // A short name: the target's own may already be close to the limit.
    for (int n = 0;; ++n) {
        temporaneo_ = cartella + "/.scarico-" + std::to_string(::getpid()) + "-" + std::to_string(n) + ".tmp";
        maniglia_ = ::open(temporaneo_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (maniglia_ >= 0) break;
        if (errno != EEXIST || n > 100) Errore("impossibile creare " + temporaneo_);
    }
}

FileParziale::~FileParziale() {
    if (maniglia_ >= 0) ::close(static_cast<int>(maniglia_));
    if (!consegnato_) ::unlink(temporaneo_.c_str());
}

void FileParziale::Scrivi(const char* dati, std::size_t n) {
    while (n > 0) {
        ssize_t k = ::write(static_cast<int>(maniglia_), dati, n);
        if (k < 0 && errno == EINTR) continue;
        if (k < 0) Errore("scrittura di " + temporaneo_);
        dati += k;
        n -= static_cast<std::size_t>(k);
        dimensione_ += static_cast<std::uint64_t>(k);
    }
    // Start writing to disk while the rest is still arriving, so that the
    // flush before the rename has little left to wait for.
    constexpr std::uint64_t Finestra = 8u << 20;
    if (dimensione_ - avviato_ >= Finestra) {
        ::sync_file_range(static_cast<int>(maniglia_), static_cast<off_t>(avviato_), static_cast<off_t>(dimensione_ - avviato_),
                          SYNC_FILE_RANGE_WRITE);
        avviato_ = dimensione_;
    }
}

void FileParziale::Svuota() {
    if (::ftruncate(static_cast<int>(maniglia_), 0) != 0 || ::lseek(static_cast<int>(maniglia_), 0, SEEK_SET) != 0) Errore("svuotamento di " + temporaneo_);
    dimensione_ = 0;
    avviato_ = 0;
}

void FileParziale::Consegna() {
    // One flush before the rename: after a power cut the target is either
    // the old file or the whole new one, never an empty name.
    int fd = static_cast<int>(maniglia_);
    if (::fsync(fd) != 0) Errore("scrittura su disco di " + temporaneo_);
    maniglia_ = -1;
    if (::close(fd) != 0) Errore("chiusura di " + temporaneo_);
    if (::rename(temporaneo_.c_str(), destinazione_.c_str()) != 0) Errore("impossibile sostituire " + destinazione_);
    consegnato_ = true;
}

}  // namespace scaricatore
