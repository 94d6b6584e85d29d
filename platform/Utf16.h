#pragma once
// UTF-16LE, the form Windows keeps its wide strings in on disk (shell links,
// REG_EXPAND_SZ and REG_MULTI_SZ data in a registry export).
#include <string>

namespace noce {

// Characters outside the Basic Multilingual Plane become surrogate pairs;
// malformed UTF-8 bytes become U+FFFD. No terminator is added.
// `conservaByte`: each such byte b goes as the lone low surrogate
// U+DC00 + b instead, so that data which is not text survives the trip.
std::string Utf8AUtf16le(const std::string& testo, bool conservaByte = false);
// Unpaired surrogates become U+FFFD; an odd last byte is dropped.
// `conservaByte`: a lone U+DC80..U+DCFF becomes its byte again.
std::string Utf16leAUtf8(const std::string& byte, bool conservaByte = false);

}  // namespace noce
