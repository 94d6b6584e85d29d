#include "Utf8.h"

namespace noce {

void AccodaUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::optional<std::uint32_t> DecodificaUtf8(const std::string& t, std::size_t& i) {
    unsigned char c = static_cast<unsigned char>(t[i]);
    std::uint32_t cp;
    std::size_t n;
    if (c < 0x80) { cp = c; n = 1; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; n = 2; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; n = 3; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; n = 4; }
    else { ++i; return std::nullopt; }
    bool valido = i + n <= t.size();
    for (std::size_t k = 1; valido && k < n; ++k) {
        unsigned char d = static_cast<unsigned char>(t[i + k]);
        if ((d & 0xC0) != 0x80) valido = false;
        else cp = (cp << 6) | (d & 0x3F);
    }
    // Each length has its smallest code point: "c0 b8" is an overlong '8'
    // that would turn bytes into a character they do not spell.
    constexpr std::uint32_t Minimo[] = {0, 0, 0x80, 0x800, 0x10000};
    if (!valido || cp < Minimo[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return std::nullopt;
    }
    i += n;
    return cp;
}

bool Utf8Valido(const std::string& testo) {
    for (std::size_t i = 0; i < testo.size();)
        if (!DecodificaUtf8(testo, i)) return false;
    return true;
}

}  // namespace noce
