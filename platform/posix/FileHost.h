#pragma once
// Reading and replacing whole files on the host, with failures as the
// runtime's errors. Shared by the file services and the registry.
#include <sys/types.h>

#include <functional>
#include <string>

#include "../Errori.h"

namespace noce::posix {

// The runtime error for a failed host call (`cartella` when the call was
// about a folder: a missing one is a path that cannot be found).
ErroreRuntime ErroreDaErrno(int e, bool cartella = false);

// The whole content of a host file; a folder is an access error.
std::string LeggiFileHost(const std::string& host);

// Replaces a host file with `dati`: written to a hidden temporary file
// beside it, flushed, renamed over it, and the folder flushed, so a reader
// (or a machine that lost power) sees the old content or the new, never a
// part of either.
void SostituisciFileHost(const std::string& host, const std::string& dati, mode_t modo);
// The same with the content written by `scrivi` into the descriptor.
void SostituisciFileHost(const std::string& host, const std::function<void(int fd)>& scrivi, mode_t modo);

// Copies a host file to `a` the same way, but inside the kernel (a reflink
// where the file system shares extents) and without waiting for the disk:
// the copy is whole under its name or absent, and SalvaCopie flushes it.
void CopiaFileHost(const std::string& da, const std::string& a, mode_t modo);

// Flushes to disk the file systems that hold copies made since the last
// call, after waiting for a flush started in the background. Before
// anything is deleted: a source goes only when its copy is safe.
void SalvaCopie();
// Starts that flush in the background for the copies made so far.
void AvviaSalvataggioCopie();

// Writes all of `dati` to an open descriptor.
void ScriviTuttoFd(int fd, const char* dati, std::size_t n);

}  // namespace noce::posix
