#include "Macchina.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>

#include "Percorsi.h"
#include "CartelleBuild.h"

namespace fs = std::filesystem;

namespace noce::posix {

namespace {

struct Speciale {
    int csidl;
    const char* percorso;  // below the drive, with '/'; %U is the user
};

constexpr Speciale Speciali[] = {
    {16, "Users/%U/Desktop"},
    {38, "Program Files"},
    {37, "Windows/System32"},
    {25, "Users/Public/Desktop"},
    {22, "ProgramData/Microsoft/Windows/Start Menu"},
    {23, "ProgramData/Microsoft/Windows/Start Menu/Programs"},
    {20, "Windows/Fonts"},
};

constexpr const char* ProgrammiSistema[] = {"regsvr32.exe", "rundll32.exe", "cmd.exe"};

std::string Espandi(const char* modello) {
    std::string s = modello;
    auto pos = s.find("%U");
    if (pos != std::string::npos) s.replace(pos, 2, NomeUtente());
    return s;
}

void CopiaSeDiverso(const fs::path& da, const fs::path& a) {
    std::error_code ec;
    if (!fs::exists(da, ec)) return;
    auto td = fs::last_write_time(da, ec);
    if (fs::exists(a, ec) && fs::file_size(a, ec) == fs::file_size(da, ec) && fs::last_write_time(a, ec) >= td)
        return;
    fs::path tmp = a;
    tmp += ".tmp-" + std::to_string(getpid());
    if (fs::copy_file(da, tmp, fs::copy_options::overwrite_existing, ec)) {
        fs::permissions(tmp, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec, ec);
        fs::rename(tmp, a, ec);
    }
    if (ec) fs::remove(tmp, ec);
}

}  // namespace

std::string NomeUtente() {
    if (const char* u = std::getenv("USER"); u && *u) return u;
    if (passwd* pw = getpwuid(getuid()); pw && pw->pw_name) return pw->pw_name;
    return "utente";
}

std::string FileImpostazioni(const std::string& d) { return d + "/Windows/noce-machine.ini"; }
std::string FileRegistro(const std::string& d) { return d + "/registry.reg"; }

void PreparaMacchina(const std::string& d) {
    static std::mutex m;
    static std::set<std::string> preparate;
    std::lock_guard<std::mutex> lock(m);
    if (!preparate.insert(d).second) return;
    std::error_code ec;
    fs::create_directories(d, ec);
    for (const auto& s : Speciali) fs::create_directories(fs::path(d) / Espandi(s.percorso), ec);
    fs::path sys = fs::path(d) / "Windows/System32";
    const char* altrove = std::getenv("NOCE_SYSTEM_PROGRAMS");
    fs::path origine = altrove && *altrove ? fs::path(altrove) : fs::path(CartellaProgrammiSistema);
    for (const char* p : ProgrammiSistema) CopiaSeDiverso(origine / p, sys / p);
    if (!fs::exists(FileRegistro(d), ec)) {
        std::ofstream(FileRegistro(d), std::ios::binary) << "Windows Registry Editor Version 5.00\r\n\r\n";
    }
    if (!fs::exists(FileImpostazioni(d), ec)) ScriviImpostazioni(d, ImpostazioniMacchina{});
}

ImpostazioniMacchina LeggiImpostazioni(const std::string& d) {
    ImpostazioniMacchina imp;
    std::ifstream in(FileImpostazioni(d));
    std::string riga;
    while (std::getline(in, riga)) {
        if (!riga.empty() && riga.back() == '\r') riga.pop_back();
        auto eq = riga.find('=');
        if (eq == std::string::npos) continue;
        std::string k = riga.substr(0, eq), v = riga.substr(eq + 1);
        auto numero = [&] { return static_cast<std::uint32_t>(std::strtoul(v.c_str(), nullptr, 10)); };
        if (k == "PlatformId") imp.piattaforma = numero();
        else if (k == "MajorVersion") imp.maggiore = numero();
        else if (k == "MinorVersion") imp.minore = numero();
        else if (k == "BuildNumber") imp.build = numero();
        else if (k == "Administrator") imp.amministratore = v == "yes" || v == "1";
    }
    return imp;
}

void ScriviImpostazioni(const std::string& d, const ImpostazioniMacchina& imp) {
    std::error_code ec;
    fs::create_directories(fs::path(FileImpostazioni(d)).parent_path(), ec);
    std::string tmp = FileImpostazioni(d) + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary);
        out << "[Machine]\r\nPlatformId=" << imp.piattaforma << "\r\nMajorVersion=" << imp.maggiore
            << "\r\nMinorVersion=" << imp.minore << "\r\nBuildNumber=" << imp.build
            << "\r\nAdministrator=" << (imp.amministratore ? "yes" : "no") << "\r\n";
    }
    fs::rename(tmp, FileImpostazioni(d), ec);
}

std::string PercorsoSpeciale(int csidl) {
    for (const auto& s : Speciali) {
        if (s.csidl != csidl) continue;
        CartellaDriveC();
        std::string w = "C:\\" + Espandi(s.percorso);
        for (auto& c : w)
            if (c == '/') c = '\\';
        return w;
    }
    return {};
}

bool ProtettoDaAmministratore(const std::string& host) {
    std::string d = CartellaDriveCGrezza();
    std::string win = d + "/Windows";
    std::string h = MinuscoloNome(host), w = MinuscoloNome(win);
    if (h.compare(0, w.size(), w) != 0 || (h.size() > w.size() && h[w.size()] != '/')) return false;
    return !LeggiImpostazioni(d).amministratore;
}

}  // namespace noce::posix
