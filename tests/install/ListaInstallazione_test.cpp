// The install list reader: what one section pass takes from the file.
#include "install/ListaInstallazione.h"

#include <gtest/gtest.h>

#include "install/AmbienteInstallazione.h"

namespace noce {
namespace {

struct CasoLista {
    const char* nome;
    std::string file;  // bytes on disk
    const char* apertura;
    const char* chiusura;
    std::vector<std::string> voci;
    friend void PrintTo(const CasoLista& c, std::ostream* os) { *os << c.nome; }
};

class SectionReading : public ::testing::TestWithParam<CasoLista> {};

TEST_P(SectionReading, TakesTheEntriesBetweenTheMarkers) {
    const CasoLista& c = GetParam();
    prova::AmbienteInstallazione amb;
    amb.Lista(c.file);
    Controllo lista;
    LeggiSezioneLista(lista, "C:\\Setup\\Lista.txt", c.apertura, c.chiusura);
    EXPECT_EQ(lista.Elementi, c.voci);

    std::vector<std::string> attesi;
    for (const auto& v : c.voci) attesi.push_back("Metto in lista: " + v);
    EXPECT_EQ(amb.Messaggi(), attesi);
}

const char* const D = "<directories>";
const char* const DC = "</directories>";

INSTANTIATE_TEST_SUITE_P(
    Cases, SectionReading,
    ::testing::Values(
        CasoLista{"Semplice", "<directories>\r\nA\r\nB\\C\r\n</directories>\r\n", D, DC, {"A", "B\\C"}},
        CasoLista{"AperturaConMaiuscola", "<Directories>\r\nA\r\n</directories>\r\n", D, DC, {}},
        CasoLista{"MaiuscoleDentroSonoVoci", "<directories>\r\n<DIRECTORIES>\r\nA\r\n</Directories>\r\n</directories>\r\n",
                  D, DC, {"<DIRECTORIES>", "A", "</Directories>"}},
        CasoLista{"BlankPrimaDellApertura", " <directories>\r\nA\r\n</directories>\r\n", D, DC, {}},
        CasoLista{"BlankDopoLaChiusura", "<directories>\r\nA\r\n</directories> \r\nB\r\n</directories>\r\n", D, DC,
                  {"A", "</directories> ", "B"}},
        CasoLista{"SenzaApertura", "A\r\n</directories>\r\n", D, DC, {}},
        CasoLista{"SenzaChiusuraFinoAllaFine",
                  "<directories>\r\nA\r\n<components>\r\nx.dll\r\n</components>\r\n<files>\r\nf,AppPath\r\n</files>", D,
                  DC, {"A", "<components>", "x.dll", "</components>", "<files>", "f,AppPath", "</files>"}},
        CasoLista{"SecondaAperturaNonEVoce", "<directories>\r\nA\r\n<directories>\r\nB\r\n</directories>\r\nC\r\n", D,
                  DC, {"A", "B"}},
        CasoLista{"ChiusuraFuoriSenzaEffetto",
                  "</directories>\r\n<directories>\r\nA\r\n</directories>\r\n</directories>\r\nZ\r\n", D, DC, {"A"}},
        CasoLista{"VociVuoteEBlankRestano", "<directories>\r\n\r\n  \r\n A \r\n</directories>\r\n", D, DC,
                  {"", "  ", " A "}},
        CasoLista{"SoloLFUnaRiga", "<directories>\nA\n</directories>\n", D, DC, {}},
        CasoLista{"LFDentroUnaRiga", "<directories>\r\nA\nB\r\n</directories>\r\n", D, DC, {"A\nB"}},
        CasoLista{"SezioneRipetuta",
                  "<directories>\r\nA\r\n</directories>\r\nfuori\r\n<directories>\r\nB\r\n</directories>\r\n", D, DC,
                  {"A", "B"}},
        CasoLista{"SoloCR", "<directories>\rA\rB\r</directories>\r", D, DC, {"A", "B"}},
        CasoLista{"CRCRLFRigaVuota", "<directories>\r\r\nA\r\n</directories>", D, DC, {"", "A"}},
        CasoLista{"UltimaRigaSenzaTerminatore", "<directories>\r\nA\r\nB", D, DC, {"A", "B"}},
        CasoLista{"FileVuoto", "", D, DC, {}},
        CasoLista{"Windows1252", "<files>\r\nCitt\xE0.txt,AppPath\\\x80uro\r\n</files>\r\n", "<files>", "</files>",
                  {"Citt\xC3\xA0.txt,AppPath\\\xE2\x82\xACuro"}},
        CasoLista{"AltraSezioneInQualsiasiOrdine",
                  "<files>\r\na,b\r\n</files>\r\n<components>\r\nx.ocx\r\n</components>\r\n<directories>\r\nD\r\n"
                  "</directories>\r\n",
                  "<components>", "</components>", {"x.ocx"}}),
    [](const ::testing::TestParamInfo<CasoLista>& i) { return std::string(i.param.nome); });

TEST(SectionReading, RereadsTheFileAtEachStepAndAppendsAtTheEnd) {
    prova::AmbienteInstallazione amb;
    Controllo lista;
    lista.AddItem("prima");
    amb.Lista("<directories>\r\nA\r\n</directories>\r\n");
    LeggiSezioneLista(lista, "C:\\Setup\\lista.TXT", D, DC);
    amb.Lista("<directories>\r\nB\r\n</directories>\r\n");
    LeggiSezioneLista(lista, "C:\\Setup\\Lista.txt", D, DC);
    EXPECT_EQ(lista.Elementi, (std::vector<std::string>{"prima", "A", "B"}));
}

TEST(SectionReading, AMissingListIsAFailure) {
    prova::AmbienteInstallazione amb;
    Controllo lista;
    try {
        LeggiSezioneLista(lista, "C:\\Setup\\Lista.txt", D, DC);
        FAIL() << "a missing list must fail";
    } catch (const ErroreRuntime& e) {
        EXPECT_EQ(e.Numero(), err::FileNonTrovato);
    }
}

}  // namespace
}  // namespace noce
