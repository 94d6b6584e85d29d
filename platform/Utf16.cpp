#include "Utf16.h"

#include <cstdint>

#include "Utf8.h"

namespace noce {

namespace {

void AccodaUnita(std::string& out, std::uint32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>((u >> 8) & 0xFF);
}

}  // namespace

std::string Utf8AUtf16le(const std::string& t, bool conservaByte) {
    std::string out;
    out.reserve(t.size() * 2);
    for (std::size_t i = 0; i < t.size();) {
        const std::size_t prima = i;
        auto decodificato = DecodificaUtf8(t, i);
        std::uint32_t cp = decodificato.value_or(0xFFFD);
        if (!decodificato && conservaByte) cp = 0xDC00 + static_cast<unsigned char>(t[prima]);
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

std::string Utf16leAUtf8(const std::string& b, bool conservaByte) {
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
        if (conservaByte && u >= 0xDC80 && u <= 0xDCFF) out += static_cast<char>(u - 0xDC00);
        else AccodaUtf8(out, u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u);
    }
    return out;
}

}  // namespace noce
