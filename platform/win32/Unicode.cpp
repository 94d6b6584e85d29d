#include "Unicode.h"

#include <windows.h>

namespace noce::win32 {

namespace {

std::wstring InUtf16(unsigned pagina, const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(pagina, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(pagina, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string DaUtf16(unsigned pagina, const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(pagina, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(pagina, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

}  // namespace

std::wstring Larga(const std::string& utf8) { return InUtf16(CP_UTF8, utf8); }
std::string DaLarga(const std::wstring& larga) { return DaUtf16(CP_UTF8, larga); }
std::string InAnsi(const std::string& utf8) { return DaUtf16(CP_ACP, Larga(utf8)); }
std::string DaAnsi(const std::string& ansi) { return DaLarga(InUtf16(CP_ACP, ansi)); }

}  // namespace noce::win32
