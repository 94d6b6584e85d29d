// The Windows extractor under Wine, on archives made here as for the Linux
// one: the folder on the host is reached through Wine's drive Z:, so what
// it writes is read back directly. Each run is a fresh prefix (esegui.sh).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <map>

#include "support/Processi.h"
#include "../tools/ZipDiProva.h"
#include "support/FileDiProva.h"

namespace {

namespace fs = std::filesystem;
using strumenti::CreaZip;

class EstrattoreWine : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(NOCE_UNZIP_WIN))
            FAIL() << NOCE_UNZIP_WIN << " is missing: run scripts/prepara-windows.sh";
        char modello[] = "/tmp/noce-estrattore-wine-XXXXXX";
        radice = mkdtemp(modello);
        fs::create_directories(radice + "/files");
    }
    void TearDown() override {
        std::error_code ec;
        if (!radice.empty()) fs::remove_all(radice, ec);
    }
    static std::string Windows(const std::string& host) {
        std::string w = "Z:" + host;
        for (char& c : w)
            if (c == '/') c = '\\';
        return w;
    }
    // The extractor on a.zip, with `nomi` (the entries wanted) after it.
    int Esegui(const std::vector<std::string>& nomi = {}) {
        std::vector<std::string> riga = {"/bin/bash", NOCE_ESEGUI_WINE, NOCE_UNZIP_WIN, "-o",
                                         Windows(radice + "/a.zip")};
        riga.insert(riga.end(), nomi.begin(), nomi.end());
        riga.insert(riga.end(), {"-d", Windows(radice + "/files")});
        return strumenti::Esegui(riga, {}, std::chrono::seconds(120), radice + "/errori.txt");
    }
    std::string Errori() const { return noce::prova::LeggiFile(radice + "/errori.txt"); }
    // Every file and folder under files/, with the contents of the files.
    std::map<std::string, std::string> Cartella() const {
        std::map<std::string, std::string> a;
        const fs::path base = radice + "/files";
        for (auto it = fs::recursive_directory_iterator(base); it != fs::recursive_directory_iterator(); ++it)
            a[fs::relative(it->path(), base)] = it->is_regular_file() ? noce::prova::LeggiFile(it->path()) : "<cartella>";
        return a;
    }

    std::string radice;
};

// Traversal with either slash or a drive, and the names Windows cannot
// hold, all refused in one archive; the usable entries around them land,
// "\" taken as a separator.
TEST_F(EstrattoreWine, EntriesLeavingTheFolderOrNamedForDevicesAreRefused) {
    fs::create_directories(radice + "/files/sub");
    ASSERT_TRUE(CreaZip(radice + "/a.zip", {{"../fuori.txt", "cattivo"},
                                            {"sub\\..\\..\\fuori.txt", "cattivo"},
                                            {"c:\\fuori.txt", "cattivo"},
                                            {"\\fuori.txt", "cattivo"},
                                            {"CON", "cattivo"},
                                            {"sub\\aux.txt", "cattivo"},
                                            {"nome.", "cattivo"},
                                            {"nome ", "cattivo"},
                                            {"buono.txt", "buono"},
                                            {"sub\\dentro.txt", "dentro"}}));
    EXPECT_EQ(Esegui(), 1);
    EXPECT_EQ(Cartella(), (std::map<std::string, std::string>{
                              {"buono.txt", "buono"}, {"sub", "<cartella>"}, {"sub/dentro.txt", "dentro"}}));
    EXPECT_FALSE(fs::exists(radice + "/fuori.txt"));
    EXPECT_FALSE(fs::exists("/fuori.txt"));
    EXPECT_NE(Errori().find("nome riservato a un dispositivo"), std::string::npos) << Errori();
}

TEST_F(EstrattoreWine, ADamagedEntryLeavesTheOlderFileAndNoTemporaryOne) {
    std::ofstream(radice + "/files/rotto.dat") << "vecchio";
    std::string dati;
    for (int i = 0; i < 20000; ++i) dati += std::to_string(i * 7919 % 10007) + ";";
    ASSERT_TRUE(CreaZip(radice + "/a.zip", {{"rotto.dat", dati}, {"sano.txt", "sano"}}));
    ASSERT_TRUE(strumenti::DanneggiaPrimaVoce(radice + "/a.zip"));
    EXPECT_EQ(Esegui(), 2);
    EXPECT_EQ(Cartella(), (std::map<std::string, std::string>{{"rotto.dat", "vecchio"}, {"sano.txt", "sano"}}));
}

TEST_F(EstrattoreWine, AnArchiveUnpacksIntoSubfoldersReplacingWhatIsThere) {
    fs::create_directories(radice + "/files/DATI");
    std::ofstream(radice + "/files/DATI/esempio.dat") << "vecchio";
    ASSERT_TRUE(CreaZip(radice + "/a.zip", {{"Dati\\esempio.dat", "esempio"},
                                            {"dati/Archivi/clienti.dat", std::string(300000, 'c')},
                                            {"Vuota/", ""},
                                            {"radice.txt", "radice", false}}));
    EXPECT_EQ(Esegui(), 0) << Errori();
    EXPECT_EQ(Cartella(), (std::map<std::string, std::string>{{"DATI", "<cartella>"},
                                                              {"DATI/esempio.dat", "esempio"},
                                                              {"DATI/Archivi", "<cartella>"},
                                                              {"DATI/Archivi/clienti.dat", std::string(300000, 'c')},
                                                              {"Vuota", "<cartella>"},
                                                              {"radice.txt", "radice"}}));
}

// The checks that bound what an archive writes, the names asked for, and
// Info-ZIP's statuses.
TEST_F(EstrattoreWine, HostileArchivesAndNamesAskedForEndWithInfoZipStatuses) {
    struct Caso {
        const char* nome;
        std::function<void(const std::string&)> prepara;
        int atteso;
        std::map<std::string, std::string> resta;
        std::vector<std::string> nomi = {};
    };
    auto tre = [](const std::string& p) { CreaZip(p, {{"a1.txt", "a"}, {"b2.txt", "b"}, {"sub\\c3.txt", "c"}}); };
    const std::vector<Caso> casi = {
        {"entries on the same data",
         [](const std::string& p) {
             CreaZip(p, {{"a", std::string(1 << 20, '\0')}});
             strumenti::SovrapponiVoci(p, 50);
         },
         12, {}},
        {"an entry inflating past its declared size",
         [](const std::string& p) {
             CreaZip(p, {{"bomba", std::string(8 << 20, '\0')}, {"buono.txt", "buono"}});
             strumenti::DichiaraDimensione(p, 1000);
         },
         2, {{"buono.txt", "buono"}}},
        {"declared total beyond the free space",
         [](const std::string& p) {
             std::vector<strumenti::VoceZip> voci;
             for (int i = 0; i < 1000; ++i) voci.push_back({"f" + std::to_string(i), "x"});
             CreaZip(p, voci);
             strumenti::DichiaraDimensione(p, 0xFFFFFF00, true);  // 4 TiB in all
         },
         50, {}},
        {"no archive", [](const std::string&) {}, 9, {}},
        {"names with wildcards", tre, 0, {{"a1.txt", "a"}, {"sub", "<cartella>"}, {"sub/c3.txt", "c"}},
         {"a?.txt", "sub/[b-d]*"}},
        {"names that match nothing", tre, 11, {}, {"z*", "[!abs]*"}},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        fs::remove_all(radice + "/files");
        fs::create_directories(radice + "/files");
        fs::remove(radice + "/a.zip");
        caso.prepara(radice + "/a.zip");
        EXPECT_EQ(Esegui(caso.nomi), caso.atteso) << Errori();
        EXPECT_EQ(Cartella(), caso.resta);
    }
}

}  // namespace
