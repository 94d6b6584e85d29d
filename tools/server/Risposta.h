#pragma once
// One answer as the connection sends it: status, headers, and a body that
// is either a short text or a stretch of an open file.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace server {

// An open file descriptor, closed with its last owner.
class FileAperto {
public:
    explicit FileAperto(int fd) : fd_(fd) {}
    ~FileAperto();
    FileAperto(const FileAperto&) = delete;
    FileAperto& operator=(const FileAperto&) = delete;
    int Fd() const { return fd_; }

private:
    int fd_;
};

struct Risposta {
    int codice = 200;
    std::vector<std::pair<std::string, std::string>> intestazioni;
    std::string testo;                  // the body, when it is not a file
    std::shared_ptr<FileAperto> file;   // else this file's bytes [inizio, inizio + lunghezza)
    std::uint64_t inizio = 0, lunghezza = 0;

    void Intestazione(const std::string& nome, const std::string& valore) { intestazioni.emplace_back(nome, valore); }
    std::uint64_t LunghezzaCorpo() const { return file ? lunghezza : testo.size(); }
};

// A short text answer such as 404 or 413.
Risposta RispostaDiTesto(int codice, const std::string& testo);

// "Not Found" for 404, and so on.
const char* FraseDiStato(int codice);

}  // namespace server
