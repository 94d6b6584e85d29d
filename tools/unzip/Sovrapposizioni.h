#pragma once
// Entries whose data overlap in the archive. A small archive whose entries
// all point at the same run of compressed data (or whose data runs over the
// next entry's header) unpacks to far more than it holds; no archive made
// by a zip tool shares bytes between entries, so any overlap means the
// archive is hostile or broken.
#include <zip.h>

#include <string>

namespace estrattore {

// What overlaps what, for the message; empty when no two entries' spans
// (local header and compressed data) share a byte. Reads the central
// directory itself, since libzip does not tell where an entry lies.
// Throws std::runtime_error when the directory cannot be read.
std::string CercaSovrapposizione(zip_source_t* archivio);

}  // namespace estrattore
