// The window's design: every control in layering order, front first, with
// its container, place, size, visibility at start and caption.
#include <gtest/gtest.h>

#include "Finestra.h"

namespace noce {
namespace {

TEST(Progetto, EveryControlStandsAsDesigned) {
    struct Voce {
        const char* nome;
        int indice;
        const char* contenitore;
        double left, top, width, height;
        bool visibile;
        const char* testo;
    };
    const std::vector<Voce> progetto = {
        {"picMano", -1, "", 6120, 840, 615, 735, false, ""},
        {"picInformazioni", -1, "", 720, 0, 4095, 2055, false, ""},
        {"lblCliccaQui", -1, "picInformazioni", 120, 1560, 2775, 195, true, "Clicca qui per sapere come fare."},
        {"lblInformazioni", -1, "picInformazioni", 240, 240, 1935, 615, true, "lblInformazioni"},
        {"List2", -1, "", 5640, 480, 255, 450, false, ""},
        {"File1", -1, "", 4680, 360, 375, 480, false, ""},
        {"picVersione", -1, "", 120, 1680, 6735, 495, true, ""},
        {"optVersione", 1, "picVersione", 2760, 120, 2535, 255, true, "Versione ESTESA"},
        {"optVersione", 0, "picVersione", 240, 120, 2055, 255, true, "Versione BASIC"},
        {"PicImmTasto", 3, "", 5880, 5760, 1335, 495, true, ""},
        {"PicImmTasto", 2, "", 5880, 5160, 1335, 495, true, ""},
        {"PicImmTasto", 1, "", 5880, 4440, 1335, 495, true, ""},
        {"PicImmTasto", 0, "", 7080, 3840, 1335, 495, true, ""},
        {"List1", -1, "", 360, 3840, 4335, 3180, true, ""},
        {"picConteiner", -1, "", 0, 2880, 6975, 495, false, ""},
        {"picInterno", -1, "picConteiner", 0, 0, 3375, 615, true, ""},
        {"lblSO", -1, "", 120, 2520, 4335, 255, true, "SO"},
        {"lblScritta", 2, "", 360, 960, 6255, 375, true, "ESCI per annullare l'installazione"},
        {"lblScritta", 1, "", 360, 600, 6255, 495, true, "INSTALLA per installare NOCE,"},
        {"lblScritta", 0, "", 120, 120, 6255, 375, true, "Premere:"},
        {"lblSfondo", -1, "", 0, 240, 6975, 1095, true, "FULCRO"},
        {"ImgTasto", 1, "", 5760, 2400, 1125, 405, true, ""},
        {"ImgTasto", 0, "", 4560, 2400, 1125, 405, true, ""},
    };
    prova::InterfacciaDiProva ui;
    frmPrincipale form(ui);
    EXPECT_EQ(form.Caption, "NOCE installazione");
    EXPECT_EQ(std::pair(form.ScaleWidth, form.ScaleHeight), std::pair(6945.0, 3360.0));
    EXPECT_EQ(std::pair(form.TimerCiclo.Interval, form.tmrScorrimento.Interval), std::pair(2000, 25));
    const auto controlli = form.Controlli();
    ASSERT_EQ(controlli.size(), progetto.size());
    for (std::size_t i = 0; i < progetto.size(); ++i) {
        const Voce& v = progetto[i];
        const Controllo& c = *controlli[i];
        SCOPED_TRACE(std::string(v.nome) + "(" + std::to_string(v.indice) + ")");
        EXPECT_EQ(std::pair(c.Name, c.Index), std::pair(std::string(v.nome), v.indice));
        EXPECT_EQ(c.Container ? c.Container->Name : "", v.contenitore);
        EXPECT_EQ((std::vector{c.Left, c.Top, c.Width, c.Height}), (std::vector{v.left, v.top, v.width, v.height}));
        EXPECT_EQ(c.Visible, v.visibile);
        EXPECT_EQ(c.Caption, v.testo);
    }
}

}  // namespace
}  // namespace noce
