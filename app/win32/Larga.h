#pragma once
// The view's strings at the wide entry points: UTF-8 inside the program,
// UTF-16 for Windows.
#include <windows.h>

#include <string>
#include <string_view>

namespace noce::win32 {

// Malformed UTF-8 becomes U+FFFD, as MultiByteToWideChar does it.
inline std::wstring InLarga(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring larga(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), larga.data(), n);
    return larga;
}

}  // namespace noce::win32
