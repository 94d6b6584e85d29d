#include "../LogScarico.h"

#include <fcntl.h>
#include <unistd.h>

#include <ctime>

#include "platform/Cp1252.h"

namespace scaricatore {

void LogScarico::Scrivi(const std::string& testo) const {
    std::time_t adesso = std::time(nullptr);
    std::tm t{};
    localtime_r(&adesso, &t);
    char data[64];
    std::strftime(data, sizeof data, "%d/%m/%Y %H:%M:%S", &t);
    std::string riga = std::string(data) + " [" + std::to_string(::getpid()) + "] " + testo + "\r\n";
    riga = noce::Utf8ACp1252(riga);
    // A link planted under the log's name makes the line lost, never written
    // where the link points.
    int fd = ::open(percorso_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return;
    // One write per line: concurrent downloaders do not interleave lines.
    ssize_t scritti = ::write(fd, riga.data(), riga.size());
    (void)scritti;
    ::close(fd);
}

}  // namespace scaricatore
