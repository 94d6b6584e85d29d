#include "Cp1252.h"

#include <cstdint>

#include "Utf8.h"

namespace noce {

namespace {

// Unicode code points of the bytes 0x80..0x9F; 0 marks the undefined ones,
// which map to the control character of the same value.
constexpr std::uint16_t Alti[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

}  // namespace

std::string Cp1252AUtf8(const std::string& byte) {
    std::string out;
    out.reserve(byte.size() + byte.size() / 8);
    for (unsigned char c : byte) {
        if (c < 0x80) out += static_cast<char>(c);
        else if (c < 0xA0) AccodaUtf8(out, Alti[c - 0x80] ? Alti[c - 0x80] : c);
        else AccodaUtf8(out, c);
    }
    return out;
}

std::string Utf8ACp1252(const std::string& t) {
    std::string out;
    out.reserve(t.size());
    for (std::size_t i = 0; i < t.size();) {
        auto decodificato = DecodificaUtf8(t, i);
        if (!decodificato) {
            out += '?';
            continue;
        }
        std::uint32_t cp = *decodificato;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) { out += static_cast<char>(cp); continue; }
        char b = '?';
        for (int k = 0; k < 32; ++k)
            if ((Alti[k] ? Alti[k] : 0x80u + k) == cp) b = static_cast<char>(0x80 + k);
        out += b;
    }
    return out;
}

}  // namespace noce
