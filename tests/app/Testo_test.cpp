// The word wrap of a label's caption, measured one pixel a character.
#include <gtest/gtest.h>

#include "app/Testo.h"

namespace noce {
namespace {

TEST(Testo, CaptionsBreakAtLineEndsAndWrapAtBlanks) {
    struct Caso {
        const char* testo;
        int larghezza;
        std::vector<std::string> righe;
    };
    const std::vector<Caso> casi = {
        {"Premere:", 100, {"Premere:"}},
        {"", 10, {""}},
        {"abc def", 7, {"abc def"}},  // exactly as wide as the box: it fits
        {"abc def", 6, {"abc", "def"}},
        {"abc   def", 3, {"abc", "def"}},  // the blanks at a break go
        {"lunghissima ab", 4, {"lunghissima", "ab"}},  // a word wider than the box stays whole
        {"uno\r\ndue\ntre", 100, {"uno", "due", "tre"}},
        {"uno\r\n\r\ndue", 100, {"uno", "", "due"}},
        {"Il programma di installazione\r\ndeve essere avviato come amministratore.", 30,
         {"Il programma di installazione", "deve essere avviato come", "amministratore."}},
    };
    auto misura = [](std::string_view s) { return static_cast<double>(s.size()); };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.testo);
        EXPECT_EQ(RigheTesto(c.testo, c.larghezza, misura), c.righe);
    }
}

}  // namespace
}  // namespace noce
