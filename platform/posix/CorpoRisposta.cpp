// The response body's temporary file on a Linux host: made in the host's
// temporary folder and unlinked at once, so nothing is left behind even by
// a process that is killed.
#include "../CorpoRisposta.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "FileHost.h"

namespace noce {

CorpoRisposta::CorpoRisposta() {
    const char* tmp = std::getenv("TMPDIR");
    std::string modello = std::string(tmp && *tmp ? tmp : "/tmp") + "/noce-corpo-XXXXXX";
    fd_ = ::mkostemp(modello.data(), O_CLOEXEC);
    if (fd_ < 0) throw posix::ErroreDaErrno(errno, true);
    ::unlink(modello.c_str());
}

CorpoRisposta::~CorpoRisposta() { ::close(fd_); }

void CorpoRisposta::Scrivi(const char* dati, std::size_t n) { posix::ScriviTuttoFd(fd_, dati, n); }

std::size_t CorpoRisposta::Leggi(char* buf, std::size_t n, unsigned long long posizione) const {
    for (;;) {
        ssize_t k = ::pread(fd_, buf, n, static_cast<off_t>(posizione));
        if (k >= 0) return static_cast<std::size_t>(k);
        if (errno != EINTR) throw posix::ErroreDaErrno(errno);
    }
}

}  // namespace noce
