// The programs of the emulated system folder, run as the installer runs
// them: regsvr32.exe, cmd.exe with its batch files, rundll32.exe.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "AiutiProcessi.h"
#include "platform/ModuleShell.h"
#include "platform/posix/Registro.h"
#include "support/DriveDiProva.h"

namespace noce {
namespace {

namespace fs = std::filesystem;

std::string Valore(const std::string& chiave, const std::string& nome) {
    auto v = posix::LeggiValoreRegistro(chiave, nome);
    return v ? v->tipo + ":" + v->dati : "<assente>";
}

bool Contiene(const std::string& testo, const std::string& parte) { return testo.find(parte) != std::string::npos; }

TEST(Regsvr32, RecordsTheRegistrationAndReportsWhatFails) {
    prova::DriveDiProva drive;
    drive.Scrivi("Windows/System32/comp.ocx", "MZ");
    drive.Scrivi("Windows/System32/Cartella.ocx/x", "");
    const std::string comp = "C:\\Windows\\System32\\comp.ocx";
    std::string regsvr32 = drive.Host("Windows/System32/regsvr32.exe");
    struct Caso {
        std::vector<std::string> argomenti;
        int codice;
        std::string errori;  // "" for none at all, else a part of it
        bool registrato;     // afterwards
    };
    const Caso casi[] = {
        {{comp, "/s"}, 0, "", true},
        {{"/u", "/s", comp}, 0, "", false},
        {{comp}, 0, "DllRegisterServer in C:\\Windows\\System32\\comp.ocx riuscita.", true},
        {{"-U", comp}, 0, "DllUnregisterServer in C:\\Windows\\System32\\comp.ocx riuscita.", false},
        {{"comp.ocx", "/S"}, 0, "", true},  // a bare name is looked for in the system folder
        {{"/u", "/s", "C:\\WINDOWS\\SYSTEM32\\COMP.OCX"}, 0, "", false},
        {{"C:\\Windows\\System32\\manca.ocx", "/s"}, 3, "Impossibile caricare il modulo \"C:\\Windows\\System32\\manca.ocx\"", false},
        {{"C:\\Windows\\System32\\Cartella.ocx", "/s"}, 3, "Impossibile caricare il modulo", false},
        {{"/s"}, 1, "specificare un nome di file", false},
        {{"/x", comp}, 1, "Opzione della riga di comando non riconosciuta: \"/x\"", false},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.argomenti.back());
        auto r = prova::Esegui(regsvr32, c.argomenti);
        EXPECT_EQ(r.codice, c.codice);
        if (c.errori.empty()) EXPECT_EQ(r.errori, "");
        else EXPECT_TRUE(Contiene(r.errori, c.errori)) << r.errori;
        EXPECT_EQ(r.uscita, "");
        EXPECT_EQ(posix::ComponentiRegistrati(), c.registrato ? std::vector<std::string>{comp} : std::vector<std::string>{});
    }
    // Without administrator rights the machine's classes stay untouched.
    drive.Imposta({2, 6, 1, 7601, false});
    auto r = prova::Esegui(regsvr32, {comp, "/s"});
    EXPECT_EQ(r.codice, 5);
    EXPECT_TRUE(Contiene(r.errori, "DllRegisterServer in C:\\Windows\\System32\\comp.ocx non riuscita.")) << r.errori;
    EXPECT_TRUE(posix::ComponentiRegistrati().empty());
}

TEST(Regsvr32, TheInstallersCommandThroughEseguiAttendi) {
    prova::DriveDiProva drive;
    drive.Scrivi("Windows/System32/Fulcro.ocx", "MZ");
    EseguiAttendi("C:\\Windows\\System32\\regsvr32 \"C:\\Windows\\System32\\Fulcro.ocx\" /s");
    EXPECT_EQ(posix::ComponentiRegistrati(), std::vector<std::string>{"C:\\Windows\\System32\\Fulcro.ocx"});
}

struct CasoBatch {
    const char* nome;
    std::string batch;  // bytes of C:\Setup\prova.bat
    std::vector<std::string> argomenti;
    std::string ingresso;
    int codice;
    std::string uscita;  // exact, or a part of it when it starts with "~"
    std::string errori;  // a part of it; "" for none at all
    std::function<void(const prova::DriveDiProva&)> verifica;
};

void Verifica(const prova::DriveDiProva& drive, const CasoBatch& c, const prova::Esito& r) {
    EXPECT_EQ(r.codice, c.codice);
    if (c.uscita.starts_with("~")) EXPECT_TRUE(Contiene(r.uscita, c.uscita.substr(1))) << r.uscita;
    else EXPECT_EQ(r.uscita, c.uscita);
    if (c.errori.empty()) EXPECT_EQ(r.errori, "");
    else EXPECT_TRUE(Contiene(r.errori, c.errori)) << r.errori;
    if (c.verifica) c.verifica(drive);
}

TEST(Cmd, BatchFilesRunLineByLine) {
    const std::string chiave = "HKCU\\Software\\Noce";
    const CasoBatch casi[] = {
        {"the font batch, as the installer writes it",
         "XCOPY \"C:\\Setup\\files\\fulcro.ttf\" %systemroot%\\fonts /Y /C\r\n"
         "REG ADD \"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts\" /v \"Fulcro (True Type)\" /t REG_SZ "
         "/d \"fulcro.ttf\" /f\r\n",
         {}, "", 0,
         "\nC:\\Setup>XCOPY \"C:\\Setup\\files\\fulcro.ttf\" C:\\Windows\\fonts /Y /C\n"
         "C:\\Setup\\files\\fulcro.ttf\n1 File copiati\n"
         "\nC:\\Setup>REG ADD \"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts\" /v \"Fulcro (True Type)\" "
         "/t REG_SZ /d \"fulcro.ttf\" /f\nOperazione completata.\n",
         "",
         [](const prova::DriveDiProva& d) {
             EXPECT_EQ(d.Leggi("Windows/Fonts/fulcro.ttf"), "font");
             EXPECT_EQ(Valore("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "Fulcro (True Type)"),
                       "REG_SZ:fulcro.ttf");
         }},
        {"echo off, @, REM, labels and blank lines",
         "@echo off\r\nREM niente da fare\r\n\r\n   \t\r\n:etichetta\r\necho ciao  mondo\r\necho.\r\necho\r\n", {}, "", 0,
         "ciao  mondo\n\nECHO disattivato.\n", "", nullptr},
        {"variables: the machine's, the environment's, arguments, %%",
         "@echo %SystemRoot%|%SYSTEMROOT%|%windir%|%noce_prova%|%nessuna%|%1|%2|%%|%*\r\n", {"uno", "due tre"}, "", 0,
         "C:\\Windows|C:\\Windows|C:\\Windows|valore||uno|due tre|%|uno due tre\n", "", nullptr},
        {"Windows-1252 text, LF alone ends a line too",
         "@echo gi\xE0 \x80\n@XCOPY C:\\Setup\\files\\gi\xE0.txt C:\\Copie\\ /Q\n", {}, "", 0, "già €\n1 File copiati\n",
         "", [](const prova::DriveDiProva& d) { EXPECT_EQ(d.Leggi("Copie/già.txt"), "a"); }},
        {"an unknown command is told and the batch goes on",
         "@pippo /x\r\n@REG ADD " + chiave + " /v dopo /d 1 /f\r\n", {}, "", 0, "Operazione completata.\n",
         "'pippo' non è riconosciuto come comando interno o esterno,",
         [&](const prova::DriveDiProva&) { EXPECT_EQ(Valore(chiave, "dopo"), "REG_SZ:1"); }},
        {"the exit code is the last command's", "@REG ADD " + chiave + " /v a /d 1 /f\r\n@pippo\r\n", {}, "", 255,
         "Operazione completata.\n", "'pippo'", nullptr},
        {"EXIT ends the batch with its code", "@exit /b 7\r\n@REG ADD " + chiave + " /v mai /d 1 /f\r\n", {}, "", 7, "",
         "", [&](const prova::DriveDiProva&) { EXPECT_EQ(Valore(chiave, "mai"), "<assente>"); }},
        // XCOPY
        {"a folder with a trailing backslash into a new folder",
         "@XCOPY \"C:\\Setup\\files\\\" \"C:\\Nuova Cartella\\Sotto\" /Y\r\n", {}, "", 0,
         "C:\\Setup\\files\\fulcro.ttf\nC:\\Setup\\files\\già.txt\n2 File copiati\n", "",
         [](const prova::DriveDiProva& d) {
             EXPECT_EQ(d.Leggi("Nuova Cartella/Sotto/fulcro.ttf"), "font");
             EXPECT_EQ(d.Leggi("Nuova Cartella/Sotto/già.txt"), "a");
         }},
        {"a pattern", "@XCOPY C:\\Setup\\files\\*.TTF C:\\Copie /F\r\n", {}, "", 0,
         "C:\\Setup\\files\\fulcro.ttf -> C:\\Copie\\fulcro.ttf\n1 File copiati\n", "",
         [](const prova::DriveDiProva& d) { EXPECT_FALSE(d.Esiste("Copie/già.txt")); }},
        {"a missing source", "@XCOPY C:\\Setup\\files\\manca.ttf C:\\Windows\\Fonts /Y /C\r\n", {}, "", 4,
         "0 File copiati\n", "File non trovato - manca.ttf", nullptr},
        {"no /Y: an existing file is not replaced without an answer",
         "@XCOPY C:\\Setup\\files\\fulcro.ttf C:\\Esistente\\\r\n", {}, "", 0,
         "Sovrascrivere C:\\Esistente\\fulcro.ttf (Sì/No/Tutti)? \n0 File copiati\n", "",
         [](const prova::DriveDiProva& d) { EXPECT_EQ(d.Leggi("Esistente/fulcro.ttf"), "vecchio"); }},
        {"no /Y: replaced when the answer is yes", "@XCOPY C:\\Setup\\files\\fulcro.ttf C:\\Esistente\\\r\n", {}, "s\n",
         0, "~1 File copiati", "",
         [](const prova::DriveDiProva& d) { EXPECT_EQ(d.Leggi("Esistente/fulcro.ttf"), "font"); }},
        {"one file onto a name that is neither: asked, D makes a folder",
         "@XCOPY C:\\Setup\\files\\fulcro.ttf C:\\Destinazione /Q\r\n", {}, "x\nd\n", 0, "~1 File copiati", "",
         [](const prova::DriveDiProva& d) { EXPECT_EQ(d.Leggi("Destinazione/fulcro.ttf"), "font"); }},
        {"... F makes a file", "@XCOPY C:\\Setup\\files\\fulcro.ttf C:\\Destinazione.ttf /Q\r\n", {}, "F\n", 0,
         "~1 File copiati", "", [](const prova::DriveDiProva& d) { EXPECT_EQ(d.Leggi("Destinazione.ttf"), "font"); }},
        {"... and no answer copies nothing", "@XCOPY C:\\Setup\\files\\fulcro.ttf C:\\Destinazione /Q\r\n", {}, "", 4,
         "~0 File copiati", "", [](const prova::DriveDiProva& d) { EXPECT_FALSE(d.Esiste("Destinazione")); }},
        {"/C goes on after a file that cannot be copied",
         "@XCOPY C:\\Setup\\files\\ C:\\Bloccata\\ /Y /C /Q\r\n", {}, "", 5, "1 File copiati\n",
         "Errore di accesso al percorso/file",
         [](const prova::DriveDiProva& d) { EXPECT_EQ(d.Leggi("Bloccata/già.txt"), "a"); }},
        {"without /C the first failure stops", "@XCOPY C:\\Setup\\files\\ C:\\Bloccata\\ /Y /Q\r\n", {}, "", 5,
         "0 File copiati\n", "Errore di accesso al percorso/file", [](const prova::DriveDiProva& d) { EXPECT_FALSE(d.Esiste("Bloccata/già.txt")); }},
        {"an option XCOPY does not know", "@XCOPY C:\\Setup\\files\\ C:\\Copie /Z\r\n", {}, "", 4, "0 File copiati\n",
         "Opzione non valida - /Z", nullptr},
        // REG ADD
        {"REG ADD: default value, DWORD in hex, expandable, multi-string, key alone",
         "@REG ADD " + chiave + " /ve /d \"predefinito\" /f\r\n@REG ADD " + chiave +
             " /v n /t REG_DWORD /d 0x10 /f\r\n@REG ADD " + chiave + " /v e /t REG_EXPAND_SZ /d %%SystemRoot%%\\x /f\r\n" +
             "@REG ADD " + chiave + " /v m /t reg_multi_sz /d a\\0b /f\r\n@REG ADD " + chiave + "\\Vuota\r\n",
         {}, "", 0, "~Operazione completata.", "",
         [&](const prova::DriveDiProva&) {
             EXPECT_EQ(Valore(chiave, ""), "REG_SZ:predefinito");
             EXPECT_EQ(Valore(chiave, "n"), "REG_DWORD:16");
             EXPECT_EQ(Valore(chiave, "e"), "REG_EXPAND_SZ:%SystemRoot%\\x");
             EXPECT_EQ(Valore(chiave, "m"), std::string("REG_MULTI_SZ:a\0b", 16));
             EXPECT_TRUE(posix::EsisteChiaveRegistro(chiave + "\\Vuota"));
         }},
        {"REG ADD without /f keeps a value when nobody answers",
         "@REG ADD " + chiave + " /v a /d primo /f\r\n@REG ADD " + chiave + " /v a /d secondo\r\n", {}, "", 1,
         "~Il valore a esiste. Sovrascrivere (Sì/No)? ", "",
         [&](const prova::DriveDiProva&) { EXPECT_EQ(Valore(chiave, "a"), "REG_SZ:primo"); }},
        {"REG ADD refuses what it cannot write",
         "@REG ADD HKXX\\Software /v a /d 1 /f\r\n@REG ADD " + chiave + " /v n /t REG_DWORD /d dieci /f\r\n", {}, "", 1,
         "", "ERRORE: Chiave non valida.",
         [&](const prova::DriveDiProva&) { EXPECT_EQ(Valore(chiave, "n"), "<assente>"); }},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        prova::DriveDiProva drive;
        drive.Scrivi("Setup/files/fulcro.ttf", "font");
        drive.Scrivi("Setup/files/gi\xC3\xA0.txt", "a");
        drive.Scrivi("Esistente/fulcro.ttf", "vecchio");
        fs::create_directories(drive.Host("Bloccata/fulcro.ttf"));  // a folder where a file should go
        drive.Scrivi("Setup/prova.bat", c.batch);
        std::vector<std::string> argomenti = {"/c", "C:\\Setup\\prova.bat"};
        argomenti.insert(argomenti.end(), c.argomenti.begin(), c.argomenti.end());
        auto r = prova::Esegui(drive.Host("Windows/System32/cmd.exe"), argomenti, c.ingresso, {"NOCE_PROVA=valore"},
                               drive.Host("Setup"));
        Verifica(drive, c, r);
    }
}

TEST(Cmd, OneCommandAndTheCommandLine) {
    prova::DriveDiProva drive;
    std::string cmd = drive.Host("Windows/System32/cmd.exe");
    // The runtime took the quotes away; cmd gives them back to a word with
    // blanks before REG reads it.
    auto r = prova::Esegui(cmd, {"/C", "REG", "ADD", "HKCU\\Software\\Noce Prova", "/v", "a b", "/d", "x y", "/f"});
    EXPECT_EQ(r.codice, 0) << r.errori;
    EXPECT_EQ(Valore("HKCU\\Software\\Noce Prova", "a b"), "REG_SZ:x y");
    // Without a batch, an unknown variable stays as written.
    r = prova::Esegui(cmd, {"/c", "echo", "%nessuna%", "%SystemRoot%"});
    EXPECT_EQ(r.uscita, "%nessuna% C:\\Windows\n");
    // "prova" names prova.bat when there is one.
    drive.Scrivi("prova.bat", "@echo dal batch\r\n");
    r = prova::Esegui(cmd, {"/c", "prova"}, "", {}, drive.Radice());
    EXPECT_EQ(r.uscita, "dal batch\n");

    struct Caso {
        std::vector<std::string> argomenti;
        int codice;
        std::string errori;
    };
    const Caso casi[] = {
        {{}, 1, "Uso: cmd.exe /c"},
        {{"/c", "C:\\manca.bat"}, 1, "Impossibile trovare il file batch."},
        {{"/c", "format", "c:"}, 255, "'format' non è riconosciuto come comando interno o esterno,"},
        {{"/q", "/c"}, 0, ""},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.argomenti.empty() ? "" : c.argomenti.back());
        r = prova::Esegui(cmd, c.argomenti);
        EXPECT_EQ(r.codice, c.codice);
        if (c.errori.empty()) EXPECT_EQ(r.errori, "");
        else EXPECT_TRUE(Contiene(r.errori, c.errori)) << r.errori;
    }
}

TEST(Cmd, CopyingIntoTheWindowsFolderNeedsRights) {
    prova::DriveDiProva drive;
    drive.Scrivi("Setup/files/fulcro.ttf", "font");
    drive.Imposta({2, 6, 1, 7601, false});
    auto r = prova::Esegui(drive.Host("Windows/System32/cmd.exe"),
                           {"/c", "XCOPY", "C:\\Setup\\files\\fulcro.ttf", "%systemroot%\\fonts", "/Y", "/C"});
    EXPECT_EQ(r.codice, 5);
    EXPECT_EQ(r.uscita, "C:\\Setup\\files\\fulcro.ttf\n0 File copiati\n");
    EXPECT_EQ(r.errori, "Accesso negato.\n");
    EXPECT_FALSE(drive.Esiste("Windows/Fonts/fulcro.ttf"));
}

TEST(Rundll32, OpensTheAddressWithTheHostsBrowser) {
    prova::DriveDiProva drive;
    std::string rundll32 = drive.Host("Windows/System32/rundll32.exe");
    // A stand-in for xdg-open that notes the address it was given.
    std::string bin = drive.Host("bin"), aperto = drive.Host("aperto.txt");
    fs::create_directories(bin);
    std::ofstream(bin + "/xdg-open") << "#!/bin/sh\nprintf '%s' \"$1\" > '" << aperto << "'\nexit \"${XDG_CODICE:-0}\"\n";
    fs::permissions(bin + "/xdg-open", fs::perms::owner_all);
    const std::string guida = "/guida-in-linea/video/win7_installazione_amministratore.php";
    const std::string pagina = "http://download.noce.example" + guida;

    struct Caso {
        std::vector<std::string> argomenti;
        std::vector<std::string> ambiente;
        int codice;
        std::string aperto;  // the address the browser got, "" for none
        std::string errori;
    };
    const Caso casi[] = {
        {{"url.dll,FileProtocolHandler", pagina}, {}, 0, pagina, ""},
        {{"url.dll,FileProtocolHandler", pagina}, {"NOCE_SERVER=127.0.0.1:8123"}, 0, "http://127.0.0.1:8123" + guida, ""},
        {{"URL.DLL,fileprotocolhandler", "HTTP://Download.Noce.Example:80" + guida + "?a=1"},
         {"NOCE_SERVER=localhost:9000"}, 0, "http://localhost:9000" + guida + "?a=1", ""},
        {{"url.dll,", "FileProtocolHandler", "http://altro.example/x"}, {"NOCE_SERVER=127.0.0.1:8123"}, 0,
         "http://altro.example/x", ""},
        {{"url.dll,FileProtocolHandler", pagina}, {"XDG_CODICE=4"}, 4, pagina, "Il browser non ha potuto aprire"},
        {{"url.dll,FileProtocolHandler", pagina}, {"PATH=" + drive.Host("vuota")}, 2, "", "Nessun browser disponibile"},
        {{"shell32.dll,Control_RunDLL", "desk.cpl"}, {}, 1, "", "impossibile trovare il punto di ingresso Control_RunDLL"},
        {{"url.dll,FileProtocolHandler"}, {}, 1, "", "Nessun indirizzo da aprire."},
        {{}, {}, 1, "", "Sintassi: rundll32.exe"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.argomenti.empty() ? "" : c.argomenti.back());
        fs::remove(aperto);
        std::vector<std::string> ambiente = {"PATH=" + bin + ":/usr/bin:/bin", "NOCE_SERVER="};
        ambiente.insert(ambiente.end(), c.ambiente.begin(), c.ambiente.end());
        auto r = prova::Esegui(rundll32, c.argomenti, "", ambiente);
        EXPECT_EQ(r.codice, c.codice);
        EXPECT_EQ(fs::exists(aperto) ? prova::LeggiFile(aperto) : "", c.aperto);
        if (c.errori.empty()) EXPECT_EQ(r.errori, "");
        else EXPECT_TRUE(Contiene(r.errori, c.errori)) << r.errori;
    }
}

}  // namespace
}  // namespace noce
