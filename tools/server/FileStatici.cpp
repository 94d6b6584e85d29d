#include "FileStatici.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <memory>

#include "Intervallo.h"

namespace server {

namespace {

std::string Reale(const std::string& p) {
    char buf[PATH_MAX];
    return realpath(p.c_str(), buf) ? std::string(buf) : std::string();
}

// The host file a request path names, or empty when it names nothing
// servable: ".." never climbs, and links may not lead out of the folder.
std::string FileDi(const std::string& radice, const std::string& radiceReale, const std::string& percorso) {
    if (percorso.empty() || percorso[0] != '/' || radiceReale.empty()) return "";
    std::string host = radice;
    std::size_t i = 1;
    while (i <= percorso.size()) {
        std::size_t j = percorso.find('/', i);
        if (j == std::string::npos) j = percorso.size();
        std::string parte = percorso.substr(i, j - i);
        i = j + 1;
        if (parte.empty() || parte == ".") continue;
        if (parte == ".." || parte.find('\\') != std::string::npos || parte.find('\0') != std::string::npos)
            return "";
        host += "/" + parte;
    }
    std::string reale = Reale(host);
    if (reale.size() <= radiceReale.size() || reale.compare(0, radiceReale.size(), radiceReale) != 0 ||
        reale[radiceReale.size()] != '/')
        return "";
    return host;
}

std::string DataHttp(std::time_t t) {
    static const char* giorni[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* mesi[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm g{};
    gmtime_r(&t, &g);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d GMT", giorni[g.tm_wday], g.tm_mday,
                  mesi[g.tm_mon], g.tm_year + 1900, g.tm_hour, g.tm_min, g.tm_sec);
    return buf;
}

// Changes with any rewrite of the file (inode, size, time to the
// nanosecond), so that If-Range never joins two versions.
std::string EtagDi(const struct stat& st) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "\"%llx-%llx-%llx.%lx\"", static_cast<unsigned long long>(st.st_ino),
                  static_cast<unsigned long long>(st.st_size), static_cast<unsigned long long>(st.st_mtim.tv_sec),
                  static_cast<long>(st.st_mtim.tv_nsec));
    return buf;
}


}  // namespace

std::string TipoContenuto(const std::string& nome) {
    auto punto = nome.rfind('.');
    std::string ext = punto == std::string::npos ? "" : nome.substr(punto + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == "php" || ext == "html" || ext == "htm") return "text/html; charset=utf-8";
    if (ext == "txt") return "text/plain; charset=windows-1252";
    if (ext == "zip") return "application/zip";
    if (ext == "ttf") return "font/ttf";
    if (ext == "css") return "text/css";
    if (ext == "png") return "image/png";
    if (ext == "gif") return "image/gif";
    if (ext == "jpg" || ext == "jpeg") return "image/jpeg";
    return "application/octet-stream";
}

FileStatici::FileStatici(std::string radice) : radice_(std::move(radice)), radiceReale_(Reale(radice_)) {}

Risposta FileStatici::Servi(const Richiesta& richiesta) const {
    std::string host = FileDi(radice_, radiceReale_, richiesta.percorso);
    int fd = host.empty() ? -1 : ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    auto file = std::make_shared<FileAperto>(fd);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return RispostaDiTesto(404, "404 Not Found\n");
    const auto dimensione = static_cast<std::uint64_t>(st.st_size);
    const std::string etag = EtagDi(st);
    const std::string modificato = DataHttp(st.st_mtim.tv_sec);
    Risposta risposta;
    risposta.Intestazione("ETag", etag);
    risposta.Intestazione("Last-Modified", modificato);
    risposta.Intestazione("Accept-Ranges", "bytes");

    Intervallo intervallo;
    if (richiesta.Ha("Range")) {
        std::string se = richiesta.Intestazione("If-Range");
        if (se.empty() || se == etag || se == modificato)
            intervallo = LeggiIntervallo(richiesta.Intestazione("Range"), dimensione);
    }
    if (intervallo.tipo == Intervallo::Tipo::Insoddisfacibile) {
        risposta.codice = 416;
        risposta.Intestazione("Content-Range", "bytes */" + std::to_string(dimensione));
        risposta.Intestazione("Content-Type", "text/plain");
        return risposta;
    }
    risposta.Intestazione("Content-Type", TipoContenuto(host));
    risposta.file = file;
    risposta.lunghezza = dimensione;
    if (intervallo.tipo == Intervallo::Tipo::Parte) {
        risposta.codice = 206;
        risposta.inizio = intervallo.inizio;
        risposta.lunghezza = intervallo.fine - intervallo.inizio + 1;
        risposta.Intestazione("Content-Range", "bytes " + std::to_string(intervallo.inizio) + "-" +
                                                   std::to_string(intervallo.fine) + "/" + std::to_string(dimensione));
    }
    return risposta;
}

}  // namespace server
