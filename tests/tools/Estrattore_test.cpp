// The extractor on archives made here: names that try to leave the target
// folder, damaged entries, files already present, sub-folders.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "Processi.h"
#include "ZipDiProva.h"
#include "platform/posix/Percorsi.h"
#include "support/DriveDiProva.h"

namespace {

namespace fs = std::filesystem;
using strumenti::CreaZip;
using strumenti::VoceZip;

class Estrattore : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(drive.Host("Setup/files")); }

    int Estrai(const std::vector<VoceZip>& voci, std::vector<std::string> opzioni = {"-o"}) {
        EXPECT_TRUE(CreaZip(drive.Host("Setup/Transito.zip"), voci));
        return Esegui(opzioni);
    }
    // The command line as the installer writes it (the extractor sees it
    // split and unquoted).
    int Esegui(std::vector<std::string> opzioni = {"-o"}) {
        std::vector<std::string> riga = {NOCE_UNZIP};
        riga.insert(riga.end(), opzioni.begin(), opzioni.end());
        riga.insert(riga.end(), {"C:\\Setup\\transito.zip", "-d", "C:\\Setup\\files"});
        return strumenti::Esegui(riga, {}, std::chrono::seconds(30), drive.Host("errori.txt"));
    }
    // Every file and folder under `radice`, with the contents of the files.
    static std::map<std::string, std::string> Albero(const std::string& radice) {
        std::map<std::string, std::string> a;
        for (auto it = fs::recursive_directory_iterator(radice); it != fs::recursive_directory_iterator(); ++it) {
            std::string rel = fs::relative(it->path(), radice);
            a[rel] = it->is_regular_file() && !it->is_symlink() ? LeggiFile(it->path()) : "<cartella>";
        }
        return a;
    }
    static std::string LeggiFile(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::map<std::string, std::string> Cartella() const { return Albero(drive.Host("Setup/files")); }

    noce::prova::DriveDiProva drive;
};

TEST_F(Estrattore, LeVociCheEsconoDallaCartellaSonoRifiutateELeAltreEstratte) {
    const std::string fuoriAssoluto = fs::path(drive.Radice()).parent_path() / "assoluto.txt";
    const std::vector<std::string> nomi = {
        "../fuori.txt",        "..\\fuori.txt",     "sub/../../fuori.txt", "sub\\..\\..\\fuori.txt",
        "sub/..\\../fuori.txt", "..",               fuoriAssoluto,         "\\fuori.txt",
        "c:\\fuori.txt",       "C:/fuori.txt",      "c:fuori.txt",         "sub\\...\\..\\fuori.txt",
        ".. \\fuori.txt",      "sub\\. .\\fuori.txt", "sub/a:b.txt",
    };
    for (const auto& nome : nomi) {
        SCOPED_TRACE(nome);
        fs::remove_all(drive.Host("Setup/files"));
        fs::create_directories(drive.Host("Setup/files/sub"));
        auto primaFuori = Albero(drive.Radice());
        primaFuori.erase("Setup/Transito.zip");
        primaFuori.erase("errori.txt");
        EXPECT_EQ(Estrai({{nome, "cattivo"}, {"buono.txt", "buono"}}), 1);
        auto dopo = Albero(drive.Radice());
        dopo.erase("Setup/Transito.zip");
        dopo.erase("errori.txt");
        dopo.erase("Setup/files/buono.txt");
        EXPECT_EQ(dopo, primaFuori);
        EXPECT_EQ(LeggiFile(drive.Host("Setup/files/buono.txt")), "buono");
        EXPECT_FALSE(fs::exists(fuoriAssoluto));
        EXPECT_FALSE(fs::exists(fs::path(drive.Radice()).parent_path() / "fuori.txt"));
        EXPECT_NE(LeggiFile(drive.Host("errori.txt")).find("rifiutato"), std::string::npos);
    }
}

TEST_F(Estrattore, UnCollegamentoNellaCartellaNonPortaFuori) {
    const fs::path fuori = fs::path(drive.Radice()).parent_path() / "altrove";
    fs::create_directories(fuori);
    fs::create_directory_symlink(fuori, drive.Host("Setup/files/link"));
    EXPECT_EQ(Estrai({{"link/x.txt", "cattivo"}, {"buono.txt", "buono"}}), 2);
    EXPECT_TRUE(fs::is_empty(fuori));
    EXPECT_EQ(LeggiFile(drive.Host("Setup/files/buono.txt")), "buono");
}

TEST_F(Estrattore, UnaVoceDanneggiataNonLasciaNullaSottoIlSuoNome) {
    struct Caso {
        bool comprimi;
        bool presente;  // an older file of that name is already there
    };
    for (const Caso& caso : {Caso{false, false}, Caso{false, true}, Caso{true, false}, Caso{true, true}}) {
        SCOPED_TRACE(std::string(caso.comprimi ? "deflate" : "store") + (caso.presente ? ", presente" : ""));
        fs::remove_all(drive.Host("Setup/files"));
        fs::create_directories(drive.Host("Setup/files"));
        if (caso.presente) drive.Scrivi("Setup/files/rotto.dat", "vecchio");
        std::string dati;
        for (int i = 0; i < 20000; ++i) dati += std::to_string(i * 7919 % 10007) + ";";
        ASSERT_TRUE(CreaZip(drive.Host("Setup/Transito.zip"),
                            {{"rotto.dat", dati, caso.comprimi}, {"sano.txt", "sano", caso.comprimi}}));
        ASSERT_TRUE(strumenti::DanneggiaPrimaVoce(drive.Host("Setup/Transito.zip")));
        EXPECT_EQ(Esegui(), 2);
        std::map<std::string, std::string> attesa = {{"sano.txt", "sano"}};
        if (caso.presente) attesa["rotto.dat"] = "vecchio";
        EXPECT_EQ(Cartella(), attesa);  // no temporary file either
    }
}

TEST_F(Estrattore, ConMenoOSostituisceIlFilePresenteAncheConAltreMaiuscole) {
    struct Caso {
        std::vector<std::string> opzioni;
        const char* atteso;
    };
    for (const Caso& caso : {Caso{{"-o"}, "nuovo"}, Caso{{}, "vecchio"}, Caso{{"-n"}, "vecchio"}}) {
        SCOPED_TRACE(caso.atteso);
        fs::remove_all(drive.Host("Setup/files"));
        drive.Scrivi("Setup/files/LEGGIMI.txt", "vecchio");
        ASSERT_TRUE(CreaZip(drive.Host("Setup/Transito.zip"), {{"leggimi.txt", "nuovo"}}));
        EXPECT_EQ(Esegui(caso.opzioni), 0);
        EXPECT_EQ(Cartella(), (std::map<std::string, std::string>{{"LEGGIMI.txt", caso.atteso}}));
    }
}

TEST_F(Estrattore, LeSottocartelleSiCreanoESiRitrovanoSenzaBadareAlleMaiuscole) {
    fs::create_directories(drive.Host("Setup/files/DATI"));
    EXPECT_EQ(Estrai({{"Dati\\esempio.dat", "esempio"},
                      {"dati/Archivi/clienti.dat", "clienti"},
                      {"Nuova\\Sotto\\x.txt", "x"},
                      {"Vuota/", ""},
                      {"./radice.txt", "radice"}}),
              0);
    EXPECT_EQ(Cartella(), (std::map<std::string, std::string>{{"DATI", "<cartella>"},
                                                              {"DATI/esempio.dat", "esempio"},
                                                              {"DATI/Archivi", "<cartella>"},
                                                              {"DATI/Archivi/clienti.dat", "clienti"},
                                                              {"Nuova", "<cartella>"},
                                                              {"Nuova/Sotto", "<cartella>"},
                                                              {"Nuova/Sotto/x.txt", "x"},
                                                              {"Vuota", "<cartella>"},
                                                              {"radice.txt", "radice"}}));
}

TEST_F(Estrattore, UnFileAlPostoDiUnaCartellaFermaSoloLeSueVoci) {
    drive.Scrivi("Setup/files/Dati", "un file, non una cartella");
    EXPECT_EQ(Estrai({{"Dati/x.txt", "x"}, {"altro.txt", "altro"}}), 2);
    EXPECT_EQ(Cartella(), (std::map<std::string, std::string>{{"Dati", "un file, non una cartella"},
                                                              {"altro.txt", "altro"}}));
}

TEST_F(Estrattore, LeCartelleDiDestinazioneMancantiSiCreano) {
    ASSERT_TRUE(CreaZip(drive.Host("Setup/Transito.zip"), {{"a.txt", "a"}}));
    std::vector<std::string> riga = {NOCE_UNZIP, "-o", "C:\\Setup\\Transito.zip", "-d", "C:\\Setup\\Nuova\\Cartella"};
    EXPECT_EQ(strumenti::Esegui(riga), 0);
    EXPECT_EQ(LeggiFile(drive.Host("Setup/Nuova/Cartella/a.txt")), "a");
}

TEST_F(Estrattore, GliEsitiSonoQuelliDiInfoZip) {
    struct Caso {
        const char* nome;
        std::string contenutoArchivio;  // empty: no archive at all
        std::vector<std::string> riga;  // after the program
        int atteso;
    };
    std::string zip;
    {
        ASSERT_TRUE(CreaZip(drive.Host("modello.zip"), {{"a.txt", "a"}}));
        zip = LeggiFile(drive.Host("modello.zip"));
    }
    const std::vector<Caso> casi = {
        {"archivio mancante", "", {"-o", "C:\\Setup\\transito.zip", "-d", "C:\\Setup\\files"}, 9},
        {"non è uno zip", "testo qualsiasi", {"-o", "C:\\Setup\\transito.zip", "-d", "C:\\Setup\\files"}, 9},
        {"archivio troncato", zip.substr(0, zip.size() / 2), {"-o", "C:\\Setup\\transito.zip", "-d", "C:\\Setup\\files"}, 9},
        {"nessun argomento", zip, {}, 10},
        {"opzione sconosciuta", zip, {"-z", "C:\\Setup\\transito.zip"}, 10},
        {"-d senza cartella", zip, {"C:\\Setup\\transito.zip", "-d"}, 10},
        {"nessun nome corrisponde", zip, {"-o", "C:\\Setup\\transito.zip", "b*.txt", "-d", "C:\\Setup\\files"}, 11},
        {"nome che corrisponde", zip, {"-o", "C:\\Setup\\transito.zip", "a*", "-d", "C:\\Setup\\files"}, 0},
        {"senza estensione", zip, {"-o", "C:\\Setup\\transito", "-d", "C:\\Setup\\files"}, 0},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        fs::remove(drive.Host("Setup/Transito.zip"));
        if (!caso.contenutoArchivio.empty()) drive.Scrivi("Setup/Transito.zip", caso.contenutoArchivio);
        std::vector<std::string> riga = {NOCE_UNZIP};
        riga.insert(riga.end(), caso.riga.begin(), caso.riga.end());
        EXPECT_EQ(strumenti::Esegui(riga), caso.atteso);
    }
}

TEST_F(Estrattore, IPermessiUnixDellArchivioSiConservano) {
    ASSERT_TRUE(CreaZip(drive.Host("Setup/Transito.zip"), {{"noce.exe", "#!/bin/sh\n"}, {"dati.txt", "d"}}));
    int errore = 0;
    zip_t* z = zip_open(drive.Host("Setup/Transito.zip").c_str(), 0, &errore);
    ASSERT_NE(z, nullptr);
    zip_file_set_external_attributes(z, 0, 0, ZIP_OPSYS_UNIX, (0100755u) << 16);
    zip_file_set_external_attributes(z, 1, 0, ZIP_OPSYS_UNIX, (0104640u) << 16);  // set-user-ID dropped
    ASSERT_EQ(zip_close(z), 0);
    EXPECT_EQ(Esegui(), 0);
    struct stat st {};
    ASSERT_EQ(stat(drive.Host("Setup/files/noce.exe").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    ASSERT_EQ(stat(drive.Host("Setup/files/dati.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

}  // namespace
