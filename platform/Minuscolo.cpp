#include "Minuscolo.h"

namespace noce {

std::string MinuscoloNome(const std::string& nome) {
    std::string r;
    r.reserve(nome.size());
    for (std::size_t i = 0; i < nome.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(nome[i]);
        if (c < 0x80) {
            r += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        } else if (c == 0xC3 && i + 1 < nome.size()) {
            // U+00C0..U+00DE (but not U+00D7) fold to U+00E0..U+00FE.
            unsigned char d = static_cast<unsigned char>(nome[i + 1]);
            if (d >= 0x80 && d <= 0x9E && d != 0x97) d = static_cast<unsigned char>(d + 0x20);
            r += static_cast<char>(c);
            r += static_cast<char>(d);
            ++i;
        } else {
            r += static_cast<char>(c);
        }
    }
    return r;
}

}  // namespace noce
