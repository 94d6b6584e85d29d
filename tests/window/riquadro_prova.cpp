// riquadro-prova TEXT [question]: shows one message box as the installer
// shows it, with the title "Prova", and prints the answer (1 OK, 6 Yes,
// 7 No) when it closes. A box on its own, so a test can give it any text
// and click its buttons.
#include <cstdio>
#include <cstring>

#include "app/fltk/RiquadroMessaggio.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: riquadro-prova TEXT [question]\n");
        return 2;
    }
    const bool domanda = argc == 3 && std::strcmp(argv[2], "question") == 0;
    int risposta = noce::fltk::MostraRiquadro(argv[1], domanda ? noce::Pulsanti::SiNo : noce::Pulsanti::OK,
                                              domanda ? noce::Icona::Domanda : noce::Icona::Stop, "Prova", nullptr);
    std::printf("%d\n", risposta);
    return 0;
}
