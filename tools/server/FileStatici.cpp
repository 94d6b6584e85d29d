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
#include <vector>

#include "Intervallo.h"

namespace server {

namespace {

constexpr std::size_t Blocco = 256 * 1024;

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

struct Aperto {
    int fd = -1;
    std::vector<char> buffer;
    ~Aperto() {
        if (fd >= 0) ::close(fd);
    }
};

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

void FileStatici::operator()(const httplib::Request& richiesta, httplib::Response& risposta) const {
    // The library would apply ranges and compression of its own on top of
    // ours; the file is sent exactly as it lies on disk, ranges decided here.
    auto& modificabile = const_cast<httplib::Request&>(richiesta);
    modificabile.ranges.clear();
    modificabile.headers.erase("Accept-Encoding");

    std::string host = FileDi(radice_, radiceReale_, richiesta.path);
    auto aperto = std::make_shared<Aperto>();
    struct stat st {};
    if (!host.empty()) aperto->fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (aperto->fd < 0 || ::fstat(aperto->fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        risposta.status = 404;
        risposta.set_content("404 Not Found\n", "text/plain");
        return;
    }
    const auto dimensione = static_cast<std::uint64_t>(st.st_size);
    const std::string etag = EtagDi(st);
    const std::string modificato = DataHttp(st.st_mtim.tv_sec);
    risposta.set_header("ETag", etag);
    risposta.set_header("Last-Modified", modificato);
    risposta.set_header("Accept-Ranges", "bytes");
    const std::string tipo = TipoContenuto(host);

    Intervallo intervallo;
    if (richiesta.has_header("Range")) {
        std::string se = richiesta.get_header_value("If-Range");
        if (se.empty() || se == etag || se == modificato)
            intervallo = LeggiIntervallo(richiesta.get_header_value("Range"), dimensione);
    }
    if (intervallo.tipo == Intervallo::Tipo::Insoddisfacibile) {
        risposta.status = 416;
        risposta.set_header("Content-Range", "bytes */" + std::to_string(dimensione));
        risposta.set_content("", "text/plain");
        return;
    }
    std::uint64_t inizio = 0, lunghezza = dimensione;
    if (intervallo.tipo == Intervallo::Tipo::Parte) {
        inizio = intervallo.inizio;
        lunghezza = intervallo.fine - intervallo.inizio + 1;
        risposta.status = 206;
        risposta.set_header("Content-Range", "bytes " + std::to_string(intervallo.inizio) + "-" +
                                                 std::to_string(intervallo.fine) + "/" + std::to_string(dimensione));
    } else {
        risposta.status = 200;
    }
    if (lunghezza == 0) {
        risposta.set_content("", tipo);
        return;
    }
    // Streamed a block at a time: a big file never sits in memory.
    risposta.set_content_provider(
        lunghezza, tipo, [aperto, inizio](size_t offset, size_t quanto, httplib::DataSink& sink) {
            if (aperto->buffer.empty()) aperto->buffer.resize(Blocco);
            std::size_t n = std::min(quanto, Blocco);
            ssize_t letti;
            do {
                letti = ::pread(aperto->fd, aperto->buffer.data(), n, static_cast<off_t>(inizio + offset));
            } while (letti < 0 && errno == EINTR);
            // A file cut short while it is sent: end the connection rather
            // than pad or lie about the length.
            if (letti <= 0) return false;
            return sink.write(aperto->buffer.data(), static_cast<std::size_t>(letti));
        });
}

}  // namespace server
