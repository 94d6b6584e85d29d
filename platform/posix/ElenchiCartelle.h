#pragma once
// Case-blind lookups of names in host folders, with each folder's listing
// kept between lookups: a folder of thousands of entries is read once, not
// once for every name looked for in it.
//
// A kept listing is used only while the folder's identity and change times
// are those it was read at, so a change made by anyone shows. The changes
// the installer makes itself are told here and keep the listing true; the
// listings are forgotten whenever a program is started or waited for, since
// it may have changed any folder while the clock did not move on.
#include <string>

namespace noce::posix {

// The entry of host folder `cartella` that matches `nome` without regard to
// case, the first in byte order; empty when there is none or the folder
// cannot be read.
std::string CercaSenzaMaiuscole(const std::string& cartella, const std::string& nome);

// The installer has just created (or renamed into place), or removed, the
// host path `host`.
void NomeCreato(const std::string& host);
void NomeRimosso(const std::string& host);

// Forgets every kept listing.
void DimenticaElenchi();

}  // namespace noce::posix
