#include "../Cartelle.h"

#include <windows.h>

#include <filesystem>
#include <system_error>

#include "platform/win32/Unicode.h"

// Windows finds names without regard to letter case by itself, so nothing
// is read here: each folder of the tree is made once, level by level, and
// remembered under the spelling it was asked for.
namespace estrattore {

using noce::win32::Larga;

Cartelle::Cartelle(std::string radice) : radice_(std::move(radice)) {
    std::error_code ec;
    const std::filesystem::path p(Larga(radice_));
    std::filesystem::create_directories(p, ec);
    if (!std::filesystem::is_directory(p))
        throw std::system_error(ec ? ec : std::make_error_code(std::errc::not_a_directory),
                                "impossibile creare la cartella " + radice_);
    cartelle_[""] = radice_;
}

std::string Cartelle::Cartella(const std::vector<std::string>& parti, std::size_t n) {
    std::string chiave, host = radice_;
    for (std::size_t i = 0; i < n; ++i) {
        chiave += "\\" + parti[i];
        host += "\\" + parti[i];
        if (cartelle_.count(chiave)) continue;
        const std::wstring largo = Larga(host);
        if (!CreateDirectoryW(largo.c_str(), nullptr)) {
            DWORD e = GetLastError();
            DWORD a = GetFileAttributesW(largo.c_str());
            if (e != ERROR_ALREADY_EXISTS || a == INVALID_FILE_ATTRIBUTES)
                throw std::system_error(static_cast<int>(e), std::system_category(),
                                        "impossibile creare la cartella " + host);
            // A junction or a link could lead out of the target folder.
            if (!(a & FILE_ATTRIBUTE_DIRECTORY) || (a & FILE_ATTRIBUTE_REPARSE_POINT))
                throw std::system_error(std::make_error_code(std::errc::not_a_directory),
                                        host + " non è una cartella");
        }
        cartelle_[chiave] = host;
    }
    return host;
}

std::string Cartelle::Nome(const std::string&, const std::string& nome) { return nome; }

void Cartelle::Aggiunto(const std::string&, const std::string&) {}

}  // namespace estrattore
