// The machine's registry file: its export format, its names without case,
// the component records of regsvr32, and writers that run at once.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "AiutiProcessi.h"
#include "platform/posix/Macchina.h"
#include "platform/posix/Registro.h"
#include "support/DriveDiProva.h"

namespace noce {
namespace {

using posix::ValoreRegistro;

std::string FileReg(const prova::DriveDiProva& d) { return prova::LeggiFile(posix::FileRegistro(d.Radice())); }

bool Uguali(const std::optional<ValoreRegistro>& a, const ValoreRegistro& b) {
    return a && a->nome == b.nome && a->tipo == b.tipo && a->dati == b.dati;
}

TEST(Registro, ValuesAreWrittenAsAnExportAndReadBack) {
    prova::DriveDiProva drive;
    const std::string chiave = "HKEY_CURRENT_USER\\Software\\Noce";
    struct Caso {
        ValoreRegistro valore;
        std::string riga;  // as it stands in the file
    };
    const Caso casi[] = {
        {{"", "REG_SZ", "C:\\Noce"}, "@=\"C:\\\\Noce\"\r\n"},
        {{"Nome \"citato\"", "REG_SZ", "a\"b\\"}, "\"Nome \\\"citato\\\"\"=\"a\\\"b\\\\\"\r\n"},
        {{"già", "REG_SZ", "perché"}, "\"già\"=\"perché\"\r\n"},
        {{"vuoto", "REG_SZ", ""}, "\"vuoto\"=\"\"\r\n"},
        {{"dieci", "REG_DWORD", "10"}, "\"dieci\"=dword:0000000a\r\n"},
        {{"massimo", "REG_DWORD", "4294967295"}, "\"massimo\"=dword:ffffffff\r\n"},
        {{"q", "REG_QWORD", "1"}, "\"q\"=hex(b):01,00,00,00,00,00,00,00\r\n"},
        {{"e", "REG_EXPAND_SZ", "%A%"}, "\"e\"=hex(2):25,00,41,00,25,00,00,00\r\n"},
        {{"m", "REG_MULTI_SZ", std::string("a\0b", 3)}, "\"m\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"},
        // bytes that are not UTF-8 (overlong, cut short, an encoded
        // surrogate) go as hex and come back as they went
        {{"nul-c0-b8", "REG_SZ", std::string("\0\xc0\xb8", 3)}, "\"nul-c0-b8\"=hex(1):00,00,c0,dc,b8,dc,00,00\r\n"},
        {{"nul-ea", "REG_SZ", std::string("\0\xea", 2)}, "\"nul-ea\"=hex(1):00,00,ea,dc,00,00\r\n"},
        {{"lunga", "REG_SZ", "\xc0\xb8"}, "\"lunga\"=hex(1):c0,dc,b8,dc,00,00\r\n"},
        {{"surrogato", "REG_EXPAND_SZ", "\xed\xa0\x80"}, "\"surrogato\"=hex(2):ed,dc,a0,dc,80,dc,00,00\r\n"},
        // beyond the first plane: a surrogate pair, high then low
        {{"faccina", "REG_EXPAND_SZ", "\xF0\x9F\x98\x80"}, "\"faccina\"=hex(2):3d,d8,00,de,00,00\r\n"},
        {{"b", "REG_BINARY", "01,ff"}, "\"b\"=hex:01,ff\r\n"},
        // a line break cannot stand between quotes: hex(1), as regedit does
        {{"righe", "REG_SZ", "a\r\nb"}, "\"righe\"=hex(1):61,00,0d,00,0a,00,62,00,00,00\r\n"},
        // long data wraps with a backslash, no line longer than 80
        {{"lungo", "REG_BINARY", "00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,19"},
         "\"lungo\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
         "  16,17,18,19\r\n"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.valore.nome);
        posix::ImpostaValoreRegistro(chiave, c.valore);
        EXPECT_NE(FileReg(drive).find("\r\n" + c.riga), std::string::npos) << FileReg(drive);
        EXPECT_TRUE(Uguali(posix::LeggiValoreRegistro(chiave, c.valore.nome), c.valore));
    }
    // Every value stays, each once, after all the rewrites.
    auto chiavi = posix::AnalizzaRegistro(FileReg(drive));
    ASSERT_FALSE(chiavi.empty());
    EXPECT_EQ(chiavi.back().nome, chiave);
    EXPECT_EQ(chiavi.back().valori.size(), std::size(casi));
    EXPECT_EQ(chiavi.back().valori.front().nome, "");  // the default value first
    EXPECT_TRUE(FileReg(drive).starts_with("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER]\r\n\r\n"));
}

TEST(Registro, DataATypeCannotHoldIsRefusedAndNothingChanges) {
    prova::DriveDiProva drive;
    posix::ImpostaValoreRegistro("HKCU\\Software\\Noce", {"x", "REG_SZ", "1"});
    std::string prima = FileReg(drive);
    const ValoreRegistro cattivi[] = {
        {"d", "REG_DWORD", "dieci"}, {"d", "REG_DWORD", "4294967296"}, {"d", "REG_DWORD", "-1"},
        {"d", "REG_DWORD", ""},      {"b", "REG_BINARY", "zz"},        {"b", "REG_BINARY", "1,,2"},
        {"t", "REG_FOO", "1"},
    };
    for (const auto& v : cattivi) {
        SCOPED_TRACE(v.tipo + " " + v.dati);
        EXPECT_THROW(posix::ImpostaValoreRegistro("HKCU\\Software\\Noce", v), ErroreRuntime);
    }
    for (const char* chiave : {"HKXX\\Software", "HKCU\\\\Software", "", "\\\\server\\HKLM\\x"}) {
        SCOPED_TRACE(chiave);
        EXPECT_THROW(posix::ImpostaValoreRegistro(chiave, {"x", "REG_SZ", "1"}), ErroreRuntime);
    }
    EXPECT_EQ(FileReg(drive), prima);
}

TEST(Registro, NamesCompareWithoutCaseAndShortRootsExpand) {
    prova::DriveDiProva drive;
    posix::ImpostaValoreRegistro("HKLM\\Software\\Noce\\", {"Versione", "REG_SZ", "3"});
    EXPECT_TRUE(Uguali(posix::LeggiValoreRegistro("HKEY_LOCAL_MACHINE\\SOFTWARE\\noce", "VERSIONE"),
                       {"Versione", "REG_SZ", "3"}));
    // Replaced, keeping the first spelling of both names.
    posix::ImpostaValoreRegistro("hklm\\SOFTWARE\\NOCE", {"versione", "REG_DWORD", "4"});
    EXPECT_TRUE(Uguali(posix::LeggiValoreRegistro("HKLM\\Software\\Noce", "Versione"), {"Versione", "REG_DWORD", "4"}));
    EXPECT_NE(FileReg(drive).find("[HKEY_LOCAL_MACHINE\\Software\\Noce]\r\n\"Versione\"=dword:00000004\r\n"),
              std::string::npos);
    // HKEY_CLASSES_ROOT shows the machine's classes.
    posix::ImpostaValoreRegistro("HKCR\\.noce", {"", "REG_SZ", "Noce.Documento"});
    EXPECT_TRUE(Uguali(posix::LeggiValoreRegistro("HKLM\\SOFTWARE\\Classes\\.noce", ""), {"", "REG_SZ", "Noce.Documento"}));
    EXPECT_EQ(posix::SottochiaviRegistro("HKLM\\Software"), (std::vector<std::string>{"Classes", "Noce"}));
    EXPECT_FALSE(posix::LeggiValoreRegistro("HKLM\\Software\\Manca", "x").has_value());
    EXPECT_TRUE(posix::EliminaChiaveRegistro("HKLM\\SOFTWARE"));
    EXPECT_FALSE(posix::EsisteChiaveRegistro("HKLM\\Software\\Classes\\.noce"));
    EXPECT_TRUE(posix::EsisteChiaveRegistro("HKLM"));
}

TEST(Registro, AnExportWrittenElsewhereIsReadAndKeptWhole) {
    prova::DriveDiProva drive;
    // As regedit would have left it, with comments, LF line ends, a BOM,
    // continued hex lines and a type this program has no name for.
    std::string esportato =
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n\n"
        "; esportato a mano\n"
        "[HKEY_CURRENT_USER\\Software\\Altro]\n"
        "\"Percorso\"=\"C:\\\\Programmi\\\\Altro\\\\\"\n"
        "\"Dati\"=hex:01,02,\\\n"
        "  03,04\n"
        "\"Strano\"=hex(1f):aa,bb\n"
        "\"Via\"=\"questo va tolto\"\n"
        "\"Via\"=-\n"
        "\"Spaiati\"=hex(1):00,dc,80,dc,00,00\n"
        "@=dword:00000001\n\n"
        "[HKEY_CURRENT_USER\\Software\\Tolta]\n"
        "\"x\"=\"y\"\n"
        "[-HKEY_CURRENT_USER\\Software\\Tolta]\n";
    std::ofstream(posix::FileRegistro(drive.Radice()), std::ios::binary) << esportato;

    posix::ImpostaValoreRegistro("HKCU\\Software\\Noce", {"n", "REG_SZ", "1"});
    const std::string k = "HKCU\\Software\\Altro";
    EXPECT_TRUE(Uguali(posix::LeggiValoreRegistro(k, "Percorso"), {"Percorso", "REG_SZ", "C:\\Programmi\\Altro\\"}));
    EXPECT_TRUE(Uguali(posix::LeggiValoreRegistro(k, "Dati"), {"Dati", "REG_BINARY", "01,02,03,04"}));
    EXPECT_TRUE(Uguali(posix::LeggiValoreRegistro(k, "Strano"), {"Strano", "hex(1f)", "aa,bb"}));
    EXPECT_TRUE(Uguali(posix::LeggiValoreRegistro(k, ""), {"", "REG_DWORD", "1"}));
    // Lone low surrogates written by another program: U+DC00 has no byte
    // of ours behind it, U+DC80 is the byte 80.
    EXPECT_TRUE(Uguali(posix::LeggiValoreRegistro(k, "Spaiati"), {"Spaiati", "REG_SZ", "\xEF\xBF\xBD\x80"}));
    EXPECT_FALSE(posix::LeggiValoreRegistro(k, "Via").has_value());
    EXPECT_FALSE(posix::EsisteChiaveRegistro("HKCU\\Software\\Tolta"));
    EXPECT_NE(FileReg(drive).find("\"Strano\"=hex(1f):aa,bb\r\n"), std::string::npos);
    // Rewritten as data, never as a program.
    struct stat st;
    ASSERT_EQ(::stat(posix::FileRegistro(drive.Radice()).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0111, 0u);

    // A value line that ends in a backslash inside quotes is no continuation.
    std::ofstream(posix::FileRegistro(drive.Radice()), std::ios::binary)
        << "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"a\"=\"x=hex\\\\\"\r\n\"b\"=\"2\"\r\n";
    EXPECT_TRUE(Uguali(posix::LeggiValoreRegistro("HKCU\\A", "a"), {"a", "REG_SZ", "x=hex\\"}));
    EXPECT_TRUE(Uguali(posix::LeggiValoreRegistro("HKCU\\A", "b"), {"b", "REG_SZ", "2"}));
}

TEST(Registro, AFileThatIsNotAnExportIsNeverOverwritten) {
    struct Caso {
        const char* testo;
        const char* riga;  // the line the failure names
    };
    const Caso casi[] = {
        {"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n", "riga 1"},
        {"Windows Registry Editor Version 5.00\r\n\"a\"=\"b\"\r\n", "riga 2"},
        {"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\n\"a\"=\"b\r\n", "riga 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\n\"a\"=dword:xyz\r\n", "riga 3"},
        {"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A\r\n", "riga 2"},
        {"Windows Registry Editor Version 5.00\r\n[HKEY_NIENTE\\A]\r\n", "riga 2"},
        {"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\nsciocchezze\r\n", "riga 3"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.testo);
        prova::DriveDiProva drive;
        std::ofstream(posix::FileRegistro(drive.Radice()), std::ios::binary) << c.testo;
        try {
            posix::ImpostaValoreRegistro("HKCU\\B", {"x", "REG_SZ", "1"});
            ADD_FAILURE() << "written over a file that does not parse";
        } catch (const ErroreRuntime& e) {
            EXPECT_NE(e.Descrizione().find(c.riga), std::string::npos) << e.Descrizione();
        }
        EXPECT_EQ(FileReg(drive), c.testo);
    }
}

TEST(Registro, ComponentRecordsAreStableAndListed) {
    prova::DriveDiProva drive;
    const std::string a = "C:\\Windows\\System32\\Componente.ocx", b = "C:\\Windows\\System32\\altro.dll";
    std::string chiave = posix::ChiaveComponente(a);
    // {XXXXXXXX-XXXX-5XXX-[89AB]XXX-XXXXXXXXXXXX}: a name-based UUID.
    ASSERT_EQ(chiave.size(), std::string("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\").size() + 38);
    std::string guid = chiave.substr(chiave.size() - 38);
    EXPECT_EQ(guid[0], '{');
    EXPECT_EQ(guid[15], '5');
    EXPECT_NE(std::string("89AB").find(guid[20]), std::string::npos);
    EXPECT_EQ(posix::ChiaveComponente("c:\\WINDOWS\\system32\\COMPONENTE.OCX"), chiave);
    EXPECT_NE(posix::ChiaveComponente(b), chiave);

    posix::RegistraComponente(a);
    posix::RegistraComponente(b);
    posix::RegistraComponente(a);  // again: nothing more
    EXPECT_TRUE(Uguali(posix::LeggiValoreRegistro(chiave, ""), {"", "REG_SZ", "Componente.ocx"}));
    EXPECT_TRUE(Uguali(posix::LeggiValoreRegistro(chiave + "\\InprocServer32", ""), {"", "REG_SZ", a}));
    EXPECT_TRUE(Uguali(posix::LeggiValoreRegistro(chiave + "\\InprocServer32", "ThreadingModel"),
                       {"ThreadingModel", "REG_SZ", "Apartment"}));
    auto registrati = posix::ComponentiRegistrati();
    std::sort(registrati.begin(), registrati.end());
    EXPECT_EQ(registrati, (std::vector<std::string>{a, b}));

    EXPECT_TRUE(posix::AnnullaRegistrazioneComponente(a));
    EXPECT_FALSE(posix::AnnullaRegistrazioneComponente(a));
    EXPECT_EQ(posix::ComponentiRegistrati(), (std::vector<std::string>{b}));
}

TEST(Registro, TheMachinesPartNeedsAdministratorRights) {
    prova::DriveDiProva drive;
    drive.Imposta({2, 6, 1, 7601, false});
    try {
        posix::RegistraComponente("C:\\Windows\\System32\\x.ocx");
        ADD_FAILURE() << "registered without rights";
    } catch (const ErroreRuntime& e) {
        EXPECT_EQ(e.Numero(), err::AutorizzazioneNegata);
    }
    EXPECT_THROW(posix::ImpostaValoreRegistro("HKCR\\.x", {"", "REG_SZ", "y"}), ErroreRuntime);
    posix::ImpostaValoreRegistro("HKCU\\Software\\Noce", {"x", "REG_SZ", "y"});
    EXPECT_TRUE(posix::ComponentiRegistrati().empty());
}

TEST(Registro, AHeldLockIsWaitedForOnlySoLong) {
    // A writer stopped while it holds the lock must not stop every later
    // change, nor the installer's font batch behind it.
    prova::DriveDiProva drive;
    int fd = ::open((posix::FileRegistro(drive.Radice()) + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    ::setenv("NOCE_ATTESA_REGISTRO_MS", "200", 1);
    const std::string chiave = "HKCU\\Software\\Noce";
    try {
        posix::ImpostaValoreRegistro(chiave, {"x", "REG_SZ", "1"});
        ADD_FAILURE() << "written through a held lock";
    } catch (const ErroreRuntime& e) {
        EXPECT_EQ(e.Descrizione(), "Registro occupato da un altro processo: attesa scaduta dopo 200 ms");
    }
    EXPECT_FALSE(posix::LeggiValoreRegistro(chiave, "x").has_value());
    ::close(fd);
    posix::ImpostaValoreRegistro(chiave, {"x", "REG_SZ", "1"});
    ::unsetenv("NOCE_ATTESA_REGISTRO_MS");
    EXPECT_TRUE(posix::LeggiValoreRegistro(chiave, "x").has_value());
}

TEST(Registro, WritersAtOnceLoseNoValue) {
    prova::DriveDiProva drive;
    constexpr int Processi = 2, Fili = 2, Valori = 40;
    auto scrivi = [](int processo, int filo) {
        for (int i = 0; i < Valori; ++i) {
            std::string nome = "p" + std::to_string(processo) + "f" + std::to_string(filo) + "v" + std::to_string(i);
            // Two keys per writer, so that new keys and new values mix.
            posix::ImpostaValoreRegistro("HKCU\\Software\\Prova\\" + std::to_string(i % 2),
                                         {nome, "REG_SZ", "dati di " + nome});
        }
    };
    std::vector<pid_t> figli;
    for (int p = 0; p < Processi; ++p) {
        pid_t pid = fork();
        if (pid == 0) {
            int codice = 0;
            std::vector<std::thread> fili;
            for (int f = 0; f < Fili; ++f)
                fili.emplace_back([&, f] {
                    try {
                        scrivi(p, f);
                    } catch (const std::exception&) {
                        codice = 1;
                    }
                });
            for (auto& t : fili) t.join();
            _exit(codice);
        }
        figli.push_back(pid);
    }
    for (pid_t pid : figli) {
        int stato = 0;
        waitpid(pid, &stato, 0);
        EXPECT_TRUE(WIFEXITED(stato) && WEXITSTATUS(stato) == 0);
    }
    auto chiavi = posix::AnalizzaRegistro(FileReg(drive));
    std::size_t totale = 0;
    for (const auto& c : chiavi) totale += c.valori.size();
    EXPECT_EQ(totale, static_cast<std::size_t>(Processi * Fili * Valori));
    for (int p = 0; p < Processi; ++p)
        for (int f = 0; f < Fili; ++f)
            for (int i = 0; i < Valori; ++i) {
                std::string nome = "p" + std::to_string(p) + "f" + std::to_string(f) + "v" + std::to_string(i);
                EXPECT_TRUE(Uguali(posix::LeggiValoreRegistro("HKCU\\Software\\Prova\\" + std::to_string(i % 2), nome),
                                   {nome, "REG_SZ", "dati di " + nome}))
                    << nome;
            }
    // No temporary file is left beside the registry.
    for (const auto& e : std::filesystem::directory_iterator(drive.Radice()))
        EXPECT_FALSE(e.path().filename().string().ends_with(".tmp")) << e.path();
}

}  // namespace
}  // namespace noce
