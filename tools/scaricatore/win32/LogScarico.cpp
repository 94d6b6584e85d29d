#include "../LogScarico.h"

#include <windows.h>

#include <cstdio>

#include "platform/Cp1252.h"
#include "platform/win32/Unicode.h"

namespace scaricatore {

void LogScarico::Scrivi(const std::string& testo) const {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char data[64];
    std::snprintf(data, sizeof data, "%02u/%02u/%04u %02u:%02u:%02u", t.wDay, t.wMonth, t.wYear, t.wHour, t.wMinute,
                  t.wSecond);
    std::string riga = std::string(data) + " [" + std::to_string(GetCurrentProcessId()) + "] " + testo + "\r\n";
    riga = noce::Utf8ACp1252(riga);
    // Appending only, and a link under the log's name is opened as itself:
    // nothing is written where it points.
    HANDLE h = CreateFileW(noce::win32::Larga(percorso_).c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    // One write per line: concurrent downloaders do not interleave lines.
    DWORD scritti = 0;
    WriteFile(h, riga.data(), static_cast<DWORD>(riga.size()), &scritti, nullptr);
    CloseHandle(h);
}

}  // namespace scaricatore
