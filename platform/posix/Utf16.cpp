#include "Utf16.h"

#include <cstdint>

namespace noce::posix {

namespace {

void AccodaUnita(std::string& out, std::uint32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>((u >> 8) & 0xFF);
}

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

}  // namespace

std::string Utf8AUtf16le(const std::string& t) {
    std::string out;
    out.reserve(t.size() * 2);
    for (std::size_t i = 0; i < t.size();) {
        unsigned char c = static_cast<unsigned char>(t[i]);
        std::uint32_t cp;
        std::size_t n;
        if (c < 0x80) { cp = c; n = 1; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; n = 2; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; n = 3; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; n = 4; }
        else { AccodaUnita(out, 0xFFFD); ++i; continue; }
        bool valido = i + n <= t.size();
        for (std::size_t k = 1; valido && k < n; ++k) {
            unsigned char d = static_cast<unsigned char>(t[i + k]);
            if ((d & 0xC0) != 0x80) valido = false;
            else cp = (cp << 6) | (d & 0x3F);
        }
        if (!valido || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            AccodaUnita(out, 0xFFFD);
            ++i;
            continue;
        }
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            AccodaUnita(out, 0xD800 + (cp >> 10));
            AccodaUnita(out, 0xDC00 + (cp & 0x3FF));
        } else {
            AccodaUnita(out, cp);
        }
    }
    return out;
}

std::string Utf16leAUtf8(const std::string& b) {
    std::string out;
    out.reserve(b.size() / 2);
    auto unita = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(b[i])) |
               (static_cast<std::uint32_t>(static_cast<unsigned char>(b[i + 1])) << 8);
    };
    for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
        std::uint32_t u = unita(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < b.size()) {
            std::uint32_t v = unita(i + 2);
            if (v >= 0xDC00 && v <= 0xDFFF) {
                AccodaUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
                i += 2;
                continue;
            }
        }
        AccodaUtf8(out, u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u);
    }
    return out;
}

}  // namespace noce::posix
