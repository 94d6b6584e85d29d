// Shell link files in the Microsoft binary format: a ShellLinkHeader, a
// LinkInfo that names the target by volume and local path, the working
// folder (and the arguments) as counted UTF-16 strings, and the terminal
// block. That is the smallest link Windows resolves without help from the
// shell namespace, and what a .lnk reader needs to show the target.
#include "ShellLink.h"

#include <sys/stat.h>

#include <cstdint>
#include <exception>

#include "../Sistema.h"
#include "Percorsi.h"
#include "../Cp1252.h"
#include "../Utf16.h"

namespace noce {

namespace {

constexpr std::uint32_t HasLinkInfo = 0x00000002;
constexpr std::uint32_t HasWorkingDir = 0x00000010;
constexpr std::uint32_t HasArguments = 0x00000020;
constexpr std::uint32_t IsUnicode = 0x00000080;

constexpr std::uint32_t FileAttributeDirectory = 0x10;
constexpr std::uint32_t FileAttributeArchive = 0x20;
constexpr std::uint32_t DriveFixed = 3;
constexpr std::uint32_t SwShowNormal = 1;
constexpr std::uint32_t VolumeIDAndLocalBasePath = 0x1;

// 00021401-0000-0000-C000-000000000046 as it lies on disk.
constexpr unsigned char LinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                         0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// Windows keeps paths below MAX_PATH (260 with the terminator).
constexpr std::size_t LunghezzaMassima = 259;

void U16(std::string& b, std::uint32_t v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>((v >> 8) & 0xFF);
}
void U32(std::string& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void U64(std::string& b, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Metti32(std::string& b, std::size_t pos, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[pos + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string FinoAlNul(const std::string& s) { return s.substr(0, s.find('\0')); }

// FILETIME: 100-ns intervals since 1601-01-01.
std::uint64_t FileTime(const timespec& t) {
    constexpr std::uint64_t Secondi1601A1970 = 11644473600ull;
    if (t.tv_sec < 0) return 0;
    return (static_cast<std::uint64_t>(t.tv_sec) + Secondi1601A1970) * 10000000ull +
           static_cast<std::uint64_t>(t.tv_nsec) / 100;
}

// A stable serial number for the volume of a drive letter: the host folder
// the drive stands for, hashed (FNV-1a).
std::uint32_t NumeroDiSerie(char unita) {
    std::string radice = posix::PercorsoHost(std::string(1, unita) + ":\\");
    std::uint32_t h = 2166136261u;
    for (unsigned char c : radice) h = (h ^ c) * 16777619u;
    return h;
}

bool DriveLocale(const std::string& p) {
    return p.size() >= 3 && ((p[0] >= 'a' && p[0] <= 'z') || (p[0] >= 'A' && p[0] <= 'Z')) && p[1] == ':' &&
           p[2] == '\\';
}

std::string StringaContata(const std::string& testo) {
    std::string u = Utf8AUtf16le(testo);
    std::string b;
    U16(b, static_cast<std::uint32_t>(u.size() / 2));
    return b + u;
}

bool NomeValido(const std::string& nome) {
    if (nome.empty() || nome == "." || nome == ".." || nome.back() == ' ' || nome.back() == '.') return false;
    for (unsigned char c : nome)
        if (c < 0x20 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos) return false;
    return true;
}

}  // namespace

std::string ByteShellLink(const std::string& destinazione, const std::string& argomenti) {
    std::string cartella = destinazione.substr(0, destinazione.rfind('\\'));
    if (cartella.size() == 2) cartella += '\\';  // "c:" + "\": the root itself

    // What the target is now, as the shell records it; a target that does
    // not exist yet gives a link without attributes or times.
    std::uint32_t attributi = 0, dimensione = 0;
    std::uint64_t creato = 0, usato = 0, scritto = 0;
    struct stat st;
    if (stat(posix::PercorsoHost(destinazione).c_str(), &st) == 0) {
        attributi = S_ISDIR(st.st_mode) ? FileAttributeDirectory : FileAttributeArchive;
        dimensione = static_cast<std::uint32_t>(S_ISDIR(st.st_mode) ? 0 : st.st_size);
        creato = FileTime(st.st_mtim);  // the host keeps no creation time
        usato = FileTime(st.st_atim);
        scritto = FileTime(st.st_mtim);
    }

    std::uint32_t flag = HasLinkInfo | HasWorkingDir | IsUnicode;
    if (!argomenti.empty()) flag |= HasArguments;

    std::string b;
    U32(b, 0x4C);
    b.append(reinterpret_cast<const char*>(LinkClsid), 16);
    U32(b, flag);
    U32(b, attributi);
    U64(b, creato);
    U64(b, usato);
    U64(b, scritto);
    U32(b, dimensione);
    U32(b, 0);  // icon index
    U32(b, SwShowNormal);
    U16(b, 0);  // hot key
    U16(b, 0);
    U32(b, 0);
    U32(b, 0);

    // LinkInfo. The path is given in the ANSI code page; when that loses
    // characters the Unicode form follows as well, as Windows writes it.
    std::string ansi = Utf8ACp1252(destinazione);
    bool serveUnicode = Cp1252AUtf8(ansi) != destinazione;
    std::uint32_t intestazione = serveUnicode ? 0x24 : 0x1C;
    std::string info;
    U32(info, 0);  // size, filled in below
    U32(info, intestazione);
    U32(info, VolumeIDAndLocalBasePath);
    std::size_t posVolume = info.size();
    U32(info, 0);
    std::size_t posBase = info.size();
    U32(info, 0);
    U32(info, 0);  // no network share
    std::size_t posSuffisso = info.size();
    U32(info, 0);
    std::size_t posBaseU = 0, posSuffissoU = 0;
    if (serveUnicode) {
        posBaseU = info.size();
        U32(info, 0);
        posSuffissoU = info.size();
        U32(info, 0);
    }
    Metti32(info, posVolume, static_cast<std::uint32_t>(info.size()));
    U32(info, 17);  // VolumeID: four fields and an empty label
    U32(info, DriveFixed);
    U32(info, NumeroDiSerie(destinazione[0]));
    U32(info, 0x10);
    info += '\0';
    Metti32(info, posBase, static_cast<std::uint32_t>(info.size()));
    info += ansi + '\0';
    Metti32(info, posSuffisso, static_cast<std::uint32_t>(info.size()));
    info += '\0';
    if (serveUnicode) {
        Metti32(info, posBaseU, static_cast<std::uint32_t>(info.size()));
        info += Utf8AUtf16le(destinazione) + std::string(2, '\0');
        Metti32(info, posSuffissoU, static_cast<std::uint32_t>(info.size()));
        info += std::string(2, '\0');
    }
    Metti32(info, 0, static_cast<std::uint32_t>(info.size()));
    b += info;

    b += StringaContata(cartella);
    if (!argomenti.empty()) b += StringaContata(argomenti);
    U32(b, 0);  // terminal block
    return b;
}

long fCreateShellLink(const std::string& cartella, const std::string& nome, const std::string& destinazione,
                      const std::string& argomenti, long flag, const std::string& unita) {
    try {
        std::string c = FinoAlNul(cartella), n = FinoAlNul(nome), d = FinoAlNul(destinazione),
                    a = FinoAlNul(argomenti), u = FinoAlNul(unita);
        if (c.empty() || !NomeValido(n)) return 0;
        if (!d.empty() && d[0] == '\\' && (d.size() < 2 || d[1] != '\\') && u.size() == 2 && u[1] == ':') d = u + d;
        if (!DriveLocale(d) || d.size() > LunghezzaMassima || a.size() > 0xFFFF) return 0;
        std::string file = c + (c.back() == '\\' ? "" : "\\") + n + ".lnk";
        if (flag == 0 && sistema::EsisteCartella(file)) return 0;
        sistema::SalvaBytes(file, ByteShellLink(d, a));
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace noce
