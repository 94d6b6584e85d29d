#pragma once
// UTF-16LE, the form Windows keeps its wide strings in on disk (shell links,
// REG_EXPAND_SZ and REG_MULTI_SZ data in a registry export).
#include <string>

namespace noce {

// Characters outside the Basic Multilingual Plane become surrogate pairs;
// malformed UTF-8 bytes become U+FFFD. No terminator is added.
std::string Utf8AUtf16le(const std::string& testo);
// Unpaired surrogates become U+FFFD; an odd last byte is dropped.
std::string Utf16leAUtf8(const std::string& byte);

}  // namespace noce
