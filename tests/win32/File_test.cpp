// The file services on Windows: attributes mean what they say, text is
// Windows-1252 on disk, and a file is replaced whole while others hold it.
#include <gtest/gtest.h>

#include "AiutiWin.h"
#include "platform/Sistema.h"
#include "platform/win32/FileWin.h"

#include <windows.h>

#include <atomic>
#include <thread>

namespace noce::prova {

TEST(File, HiddenAndSystemFilesAreNoFilesOfTheInstaller) {
    CartellaTemporanea t;
    struct Caso {
        const char* nome;
        DWORD attributi;
        bool file;  // the file test, and whether a listing shows it
    };
    const Caso casi[] = {
        {"normale.txt", FILE_ATTRIBUTE_NORMAL, true},
        {"sola-lettura.txt", FILE_ATTRIBUTE_READONLY, true},
        {"nascosto.txt", FILE_ATTRIBUTE_HIDDEN, false},
        {"sistema.txt", FILE_ATTRIBUTE_SYSTEM, false},
    };
    std::vector<std::string> visibili;
    for (const auto& c : casi) {
        ScriviByte(t.W(c.nome), "x");
        ASSERT_TRUE(SetFileAttributesW(t.W(c.nome).c_str(), c.attributi));
        EXPECT_EQ(sistema::EsisteFile(t(c.nome)), c.file) << c.nome;
        EXPECT_TRUE(sistema::EsisteCartella(t(c.nome))) << c.nome << ": the folder test takes any file";
        if (c.file) visibili.push_back(c.nome);
    }
    sistema::CreaCartella(t("Sotto"));
    EXPECT_FALSE(sistema::EsisteFile(t("Sotto")));
    EXPECT_TRUE(sistema::EsisteCartella(t("SOTTO")));
    std::sort(visibili.begin(), visibili.end());
    EXPECT_EQ(sistema::ElencoFile(t()), visibili);
    EXPECT_EQ(sistema::ElencoCartelle(t()), std::vector<std::string>{"Sotto"});
}

TEST(File, TextIsWindows1252OnDiskAndPathsAreUnicode) {
    CartellaTemporanea t;
    sistema::CreaCartella(t("Già €"));
    const std::string p = t("Già €\\lista.txt");
    sistema::ScriviTesto(p, "<files>\r\nperché € “sì”\r\n");
    sistema::AccodaTesto(p, "ß\r\n");
    EXPECT_TRUE(LeggiFile(t.W("Già €\\lista.txt")) == "<files>\r\nperch\xE9 \x80 \x93s\xEC\x94\r\n\xDF\r\n");
    EXPECT_EQ(sistema::LeggiTesto(p), "<files>\r\nperché € “sì”\r\nß\r\n");
    EXPECT_EQ(sistema::ElencoFile(t("Già €")), std::vector<std::string>{"lista.txt"});
}

TEST(File, AReaderHoldingTheFileNeitherBlocksNorSeesHalfAFile) {
    // How the downloader's marker and the log are met: the installer reads
    // while another writes, appends, replaces or deletes.
    CartellaTemporanea t;
    const std::string p = t("scaricoincorso.max");
    sistema::SalvaBytes(p, "0");
    {
        win32::Maniglia lettore = win32::ApriInLettura(t.W("scaricoincorso.max"));
        EXPECT_NO_THROW(sistema::AccodaTesto(p, ",10"));
        EXPECT_NO_THROW(sistema::ScriviTesto(p, "0,20"));
        // The rename waits for the reader to let go, within its time-out.
        std::thread rilascia([&] {
            Sleep(300);
            lettore.Chiudi();
        });
        EXPECT_NO_THROW(sistema::SalvaBytes(p, "1"));
        rilascia.join();
    }
    EXPECT_EQ(sistema::LeggiTesto(p), "1");
    {
        win32::Maniglia lettore = win32::ApriInLettura(t.W("scaricoincorso.max"));
        EXPECT_NO_THROW(sistema::EliminaFile(p));
    }
    EXPECT_FALSE(sistema::EsisteCartella(p));

    // Replaced over and over while read over and over: every read is one
    // whole version, and no replacement fails.
    const std::string a(20000, 'a'), b(30000, 'b');
    sistema::SalvaBytes(p, a);
    std::atomic<bool> fine{false};
    std::atomic<int> letture{0}, sbagliate{0};
    std::thread lettore([&] {
        while (!fine) {
            std::string s = sistema::LeggiTesto(p);
            if (s != a && s != b) ++sbagliate;
            ++letture;
        }
    });
    int fallite = 0;
    for (int i = 0; i < 20; ++i) {
        try {
            sistema::SalvaBytes(p, i % 2 ? a : b);
        } catch (const ErroreRuntime&) {
            ++fallite;
        }
    }
    fine = true;
    lettore.join();
    EXPECT_EQ(fallite, 0);
    EXPECT_EQ(sbagliate, 0);
    EXPECT_GT(letture, 0);
}

TEST(File, AFailedReplacementLeavesNothingBehind) {
    CartellaTemporanea t;
    sistema::CreaCartella(t("occupato"));
    struct Caso {
        const char* nome;
        std::function<void()> azione;
        std::int64_t numero;
    };
    const Caso casi[] = {
        {"saved over a folder", [&] { sistema::SalvaBytes(t("occupato"), "x"); }, err::AutorizzazioneNegata},
        {"copied over a folder", [&] { sistema::CopiaFile(t("occupato\\..\\sorgente.txt"), t("occupato")); },
         err::ErroreAccesso},
        {"saved into a missing folder", [&] { sistema::SalvaBytes(t("manca\\x.txt"), "x"); }, err::PercorsoNonTrovato},
        {"copied from a missing file", [&] { sistema::CopiaFile(t("manca.txt"), t("copia.txt")); },
         err::FileNonTrovato},
        {"a folder made twice", [&] { sistema::CreaCartella(t("occupato")); }, err::ErroreAccesso},
        {"a folder that is not empty", [&] { sistema::RimuoviCartella(t()); }, err::ErroreAccesso},
        {"a folder deleted as a file", [&] { sistema::EliminaFile(t("occupato")); }, err::FileNonTrovato},
        {"a folder read as text", [&] { sistema::LeggiTesto(t("occupato")); }, err::ErroreAccesso},
    };
    ScriviByte(t.W("sorgente.txt"), "sorgente");
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        try {
            c.azione();
            ADD_FAILURE() << "no error";
        } catch (const ErroreRuntime& e) {
            EXPECT_EQ(e.Numero(), c.numero) << e.Descrizione();
        }
    }
    // Only what the test made: no temporary file, hidden or not.
    std::vector<std::wstring> tutti;
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileW(t.W("*").c_str(), &d);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do {
        if (std::wstring(d.cFileName) != L"." && std::wstring(d.cFileName) != L"..") tutti.push_back(d.cFileName);
    } while (FindNextFileW(h, &d));
    FindClose(h);
    std::sort(tutti.begin(), tutti.end());
    EXPECT_EQ(tutti, (std::vector<std::wstring>{L"occupato", L"sorgente.txt"}));
}

}  // namespace noce::prova
