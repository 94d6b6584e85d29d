#include "Risposta.h"

#include <unistd.h>

namespace server {

FileAperto::~FileAperto() {
    if (fd_ >= 0) ::close(fd_);
}

Risposta RispostaDiTesto(int codice, const std::string& testo) {
    Risposta r;
    r.codice = codice;
    r.testo = testo;
    r.Intestazione("Content-Type", "text/plain");
    return r;
}

const char* FraseDiStato(int codice) {
    switch (codice) {
        case 200: return "OK";
        case 206: return "Partial Content";
        case 400: return "Bad Request";
        case 404: return "Not Found";
        case 405: return "Method Not Allowed";
        case 408: return "Request Timeout";
        case 413: return "Payload Too Large";
        case 416: return "Range Not Satisfiable";
        case 431: return "Request Header Fields Too Large";
        case 501: return "Not Implemented";
        case 503: return "Service Unavailable";
        case 505: return "HTTP Version Not Supported";
        default: return "Error";
    }
}

}  // namespace server
