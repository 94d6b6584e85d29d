// Shortcut files as a .lnk reader sees them, the toolkit call's arguments,
// and CreaLink with its log records and its silent failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "AiutiProcessi.h"
#include "platform/mdlLogInstallazione.h"
#include "platform/mdlSystemInfo.h"
#include "platform/posix/ShellLink.h"
#include "support/DriveDiProva.h"

namespace noce {
namespace {

namespace fs = std::filesystem;

std::uint32_t Legge32(const std::string& b, std::size_t pos) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[pos + i]);
    return v;
}

TEST(ShellLink, LnkinfoReadsTargetFolderAndArguments) {
    prova::DriveDiProva drive;
    drive.Scrivi("noce/noce.exe", std::string(1234, 'x'));
    struct Caso {
        std::string destinazione, argomenti;
        std::string percorso, cartella;  // what lnkinfo must report
    };
    const Caso casi[] = {
        {"c:\\noce\\noce.exe", "", "c:\\noce\\noce.exe", "c:\\noce"},
        {"c:\\noce\\noce.exe", "-a \"b c\"", "c:\\noce\\noce.exe", "c:\\noce"},
        {"c:\\noce.exe", "", "c:\\noce.exe", "c:\\"},
        {"c:\\Programmi\\Perché\\€ uro.exe", "", "c:\\Programmi\\Perché\\€ uro.exe", "c:\\Programmi\\Perché"},
        {"c:\\x\\日本.exe", "", "c:\\x\\日本.exe", "c:\\x"},  // not in the ANSI code page
    };
    int n = 0;
    for (const auto& c : casi) {
        SCOPED_TRACE(c.destinazione + " " + c.argomenti);
        std::string nome = "link" + std::to_string(n++);
        ASSERT_EQ(fCreateShellLink("C:\\Users\\Public\\Desktop", nome, c.destinazione, c.argomenti, -1, "c:"), 1);
        std::string host = drive.Host("Users/Public/Desktop/" + nome + ".lnk");
        auto r = prova::Lnkinfo(host);
        ASSERT_EQ(r.codice, 0) << r.uscita << r.errori;
        EXPECT_EQ(prova::CampoLnkinfo(r.uscita, "Local path"), c.percorso) << r.uscita;
        EXPECT_EQ(prova::CampoLnkinfo(r.uscita, "Working directory"), c.cartella);
        EXPECT_EQ(prova::CampoLnkinfo(r.uscita, "Command line arguments"),
                  c.argomenti.empty() ? "<assente>" : c.argomenti);
        EXPECT_EQ(prova::CampoLnkinfo(r.uscita, "Drive type"), "Fixed (3)");

        std::string b = prova::LeggiFile(host);
        ASSERT_GE(b.size(), 76u);
        EXPECT_EQ(Legge32(b, 0), 0x4Cu);
        EXPECT_EQ(b.substr(4, 16), std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16));
        EXPECT_EQ(Legge32(b, 20), c.argomenti.empty() ? 0x92u : 0xB2u);  // LinkFlags
        EXPECT_EQ(Legge32(b, 60), 1u);                                    // SW_SHOWNORMAL
        EXPECT_EQ(Legge32(b, b.size() - 4), 0u);                          // terminal block
    }
    // The target that exists gives its size and a time to the header.
    auto r = prova::Lnkinfo(drive.Host("Users/Public/Desktop/link0.lnk"));
    EXPECT_EQ(prova::CampoLnkinfo(r.uscita, "File size"), "1234 bytes");
    EXPECT_EQ(prova::CampoLnkinfo(r.uscita, "File attribute flags"), "0x00000020");
    EXPECT_NE(prova::CampoLnkinfo(r.uscita, "Modification time"), "Not set (0)");
}

TEST(ShellLink, TheToolkitCallsArgumentsAndResult) {
    prova::DriveDiProva drive;
    const std::string desk = "C:\\Users\\Public\\Desktop";
    const std::string nul(1, '\0');
    struct Caso {
        std::string cartella, nome, destinazione, argomenti;
        long flag;
        std::string unita;
        long risultato;
        std::string file, percorso;  // the shortcut written and its target
        std::string argomentiLetti = "<assente>";
    };
    const Caso casi[] = {
        // texts end at their NUL, as the caller passes them
        {desk + nul + "resto", "NOCE", "c:\\noce\\noce.exe", nul, -1, "c:", 1, "Users/Public/Desktop/NOCE.lnk",
         "c:\\noce\\noce.exe"},
        {desk, "Argomenti", "c:\\noce\\noce.exe", "-x" + nul + "resto", -1, "c:", 1,
         "Users/Public/Desktop/Argomenti.lnk", "c:\\noce\\noce.exe", "-x"},
        {desk + "\\", "Barra", "c:\\noce\\noce.exe", "", -1, "c:", 1, "Users/Public/Desktop/Barra.lnk",
         "c:\\noce\\noce.exe"},
        // a target without a drive is on the drive of the last argument
        {desk, "SenzaUnita", "\\noce\\noce.exe", "", -1, "c:", 1, "Users/Public/Desktop/SenzaUnita.lnk",
         "c:\\noce\\noce.exe"},
        {desk, "SenzaUnita2", "\\noce\\noce.exe", "", -1, "", 0, "", ""},
        {desk, "Relativo", "noce.exe", "", -1, "c:", 0, "", ""},
        {desk, "Rete", "\\\\server\\noce.exe", "", -1, "c:", 0, "", ""},
        {desk, "", "c:\\noce\\noce.exe", "", -1, "c:", 0, "", ""},
        {desk, "a\\b", "c:\\noce\\noce.exe", "", -1, "c:", 0, "", ""},
        {desk, "chi?", "c:\\noce\\noce.exe", "", -1, "c:", 0, "", ""},
        {nul, "Vuota", "c:\\noce\\noce.exe", "", -1, "c:", 0, "", ""},
        {"C:\\Manca", "NOCE", "c:\\noce\\noce.exe", "", -1, "c:", 0, "", ""},
        {desk, "Lungo", "c:\\" + std::string(300, 'a') + ".exe", "", -1, "c:", 0, "", ""},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        EXPECT_EQ(fCreateShellLink(c.cartella, c.nome, c.destinazione, c.argomenti, c.flag, c.unita), c.risultato);
        if (c.file.empty()) continue;
        auto r = prova::Lnkinfo(drive.Host(c.file));
        EXPECT_EQ(prova::CampoLnkinfo(r.uscita, "Local path"), c.percorso);
        EXPECT_EQ(prova::CampoLnkinfo(r.uscita, "Command line arguments"), c.argomentiLetti);
    }
    EXPECT_FALSE(drive.Esiste("Manca"));

    // With a zero flag an existing shortcut is kept; otherwise replaced.
    std::string host = drive.Host("Users/Public/Desktop/NOCE.lnk");
    std::ofstream(host, std::ios::binary) << "vecchio";
    EXPECT_EQ(fCreateShellLink(desk, "NOCE", "c:\\altro.exe", "", 0, "c:"), 0);
    EXPECT_EQ(prova::LeggiFile(host), "vecchio");
    EXPECT_EQ(fCreateShellLink(desk, "NOCE", "c:\\altro.exe", "", -1, "c:"), 1);
    EXPECT_EQ(prova::CampoLnkinfo(prova::Lnkinfo(host).uscita, "Local path"), "c:\\altro.exe");
    for (const auto& e : fs::directory_iterator(drive.Host("Users/Public/Desktop")))
        EXPECT_EQ(e.path().extension(), ".lnk") << e.path();  // nothing half-written left
}

class ShortcutCreation : public ::testing::Test {
public:
    void SetUp() override {
        drive_.Scrivi("Setup/files/.c", "");
        DirFiles = "C:\\Setup\\files";
        DeskDir = CartellaSpeciale(25);
        MnuAvvioPrgDir = CartellaSpeciale(23);
        Nocedir = "c:";
    }
    void TearDown() override {
        DirFiles.clear();
        DeskDir.clear();
        MnuAvvioPrgDir.clear();
        Nocedir.clear();
    }
    std::string Copio() const {
        return "Copio: " + DeskDir + "\\NOCE.lnk," + MnuAvvioPrgDir + "\\fulcro\\NOCE.lnk";
    }
    std::string Gruppo() const { return drive_.Host("ProgramData/Microsoft/Windows/Start Menu/Programs/Fulcro"); }

    prova::DriveDiProva drive_;
};

TEST_F(ShortcutCreation, BothShortcutsStartTheProduct) {
    CreaLink();
    EXPECT_EQ(prova::MessaggiLog(), (std::vector<std::string>{"Creazione del link", Copio(), "Fine creazione link"}));
    EXPECT_EQ(Copio(), "Copio: C:\\Users\\Public\\Desktop\\NOCE.lnk,"
                       "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\fulcro\\NOCE.lnk");
    EXPECT_TRUE(fs::is_directory(Gruppo()));
    for (const std::string& host : {drive_.Host("Users/Public/Desktop/NOCE.lnk"), Gruppo() + "/NOCE.lnk"}) {
        SCOPED_TRACE(host);
        auto r = prova::Lnkinfo(host);
        ASSERT_EQ(r.codice, 0) << r.errori;
        EXPECT_EQ(prova::CampoLnkinfo(r.uscita, "Local path"), "c:\\noce\\noce.exe");
        EXPECT_EQ(prova::CampoLnkinfo(r.uscita, "Working directory"), "c:\\noce");
    }
    // The group folder was created as "Fulcro" and the copy went into it.
    EXPECT_EQ(fs::directory_iterator(drive_.Host("ProgramData/Microsoft/Windows/Start Menu/Programs"))->path().filename(),
              "Fulcro");
}

TEST_F(ShortcutCreation, AnExistingGroupKeepsItsFolderAndGetsTheNewShortcut) {
    fs::create_directories(Gruppo());
    std::ofstream(Gruppo() + "/NOCE.lnk", std::ios::binary) << "vecchio";
    std::ofstream(Gruppo() + "/altro.txt") << "resta";
    CreaLink();
    EXPECT_EQ(prova::MessaggiLog().back(), "Fine creazione link");
    EXPECT_EQ(prova::LeggiFile(Gruppo() + "/NOCE.lnk"), prova::LeggiFile(drive_.Host("Users/Public/Desktop/NOCE.lnk")));
    EXPECT_EQ(prova::LeggiFile(Gruppo() + "/altro.txt"), "resta");
}

TEST_F(ShortcutCreation, EveryFailureEndsItSilentlyWhereItHappens) {
    struct Caso {
        const char* nome;
        std::function<void(ShortcutCreation&)> prepara;
        std::vector<std::string> (*attesi)(const ShortcutCreation&);
    };
    const Caso casi[] = {
        // a plain file named Fulcro counts as present; the copy then fails
        {"file Fulcro",
         [](ShortcutCreation& t) { std::ofstream(t.Gruppo()) << "un file"; },
         [](const ShortcutCreation& t) { return std::vector<std::string>{"Creazione del link", t.Copio()}; }},
        // no desktop: the toolkit's result is not looked at, the copy fails
        {"desktop mancante",
         [](ShortcutCreation&) { DeskDir = "C:\\Users\\Nessuno\\Desktop"; },
         [](const ShortcutCreation& t) { return std::vector<std::string>{"Creazione del link", t.Copio()}; }},
        // neither desktop nor start menu: the group folder cannot be made
        {"menu mancante",
         [](ShortcutCreation&) {
             DeskDir = "C:\\Users\\Nessuno\\Desktop";
             MnuAvvioPrgDir = "C:\\Nessuno\\Programs";
         },
         [](const ShortcutCreation&) { return std::vector<std::string>{"Creazione del link"}; }},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        fs::remove_all(Gruppo());
        sistema::ScriviTesto(DirFiles + "\\logInstallazione.txt", "");
        c.prepara(*this);
        EXPECT_NO_THROW(CreaLink());
        EXPECT_EQ(prova::MessaggiLog(), c.attesi(*this));
        EXPECT_FALSE(fs::exists(Gruppo() + "/NOCE.lnk"));
        SetUp();
    }
    // A log that cannot be written stops it before anything is made.
    fs::remove(Gruppo());
    fs::remove(drive_.Host("Users/Public/Desktop/NOCE.lnk"));
    DirFiles = "C:\\Manca\\files";
    EXPECT_NO_THROW(CreaLink());
    EXPECT_FALSE(fs::exists(drive_.Host("Users/Public/Desktop/NOCE.lnk")));
    EXPECT_FALSE(fs::exists(Gruppo()));
}

}  // namespace
}  // namespace noce
