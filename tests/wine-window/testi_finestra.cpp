// Prints what a top-level window says, as Windows sees it: its title, then
// the text of each child control (a message box's text and its buttons),
// one a line, in UTF-8. What no screenshot can read.
//   testi-finestra.exe TITLE
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* testo) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, testo, -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, testo, -1, s.data(), n, nullptr, nullptr);
    return s;
}

BOOL CALLBACK Figlio(HWND figlio, LPARAM) {
    wchar_t testo[1024] = {};
    GetWindowTextW(figlio, testo, 1024);
    if (testo[0]) std::printf("%s\n", Utf8(testo).c_str());
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: testi-finestra.exe TITLE\n");
        return 2;
    }
    HWND finestra = FindWindowW(nullptr, argv[1]);
    if (!finestra) {
        std::fprintf(stderr, "no window titled \"%s\"\n", Utf8(argv[1]).c_str());
        return 1;
    }
    std::printf("%s\n", Utf8(argv[1]).c_str());
    EnumChildWindows(finestra, Figlio, 0);
    return 0;
}
