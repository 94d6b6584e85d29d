#pragma once
// The UTF-8 steps the text conversions share.
#include <cstdint>
#include <optional>
#include <string>

namespace noce {

// Appends the UTF-8 form of a code point.
void AccodaUtf8(std::string& out, std::uint32_t cp);
// Decodes the code point at `i` and moves `i` past it. A malformed sequence
// (bad lead or continuation byte, cut short, overlong, a surrogate or
// beyond U+10FFFF) gives nothing and moves `i` by one byte.
std::optional<std::uint32_t> DecodificaUtf8(const std::string& testo, std::size_t& i);
// True when every byte belongs to a well-formed sequence.
bool Utf8Valido(const std::string& testo);

}  // namespace noce
